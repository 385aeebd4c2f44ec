#include "core/edid.h"

#include <array>

namespace qm {

namespace {

constexpr size_t kBlockBytes = 128;
constexpr std::array<uint8_t, 8> kHeader = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
// The first of the block's four 18-byte descriptors; a detailed timing (a
// pixel clock that is not 0) carries the picture's size in its bytes 12 to 14.
constexpr size_t kFirstDescriptor = 54;

bool Plausible(uint32_t mm) { return mm >= 10 && mm <= 5000; }

EdidSize IfPlausible(uint32_t width, uint32_t height) {
    if (Plausible(width) && Plausible(height)) return {width, height};
    return {};
}

}  // namespace

EdidSize PhysicalSizeFromEdid(std::string_view bytes) {
    if (bytes.size() < kBlockBytes) return {};
    const auto at = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
    uint32_t sum = 0;
    for (size_t i = 0; i < kBlockBytes; ++i) {
        if (i < kHeader.size() && at(i) != kHeader[i]) return {};
        sum += at(i);
    }
    if (sum % 256 != 0) return {};

    const size_t d = kFirstDescriptor;
    if (at(d) != 0 || at(d + 1) != 0) {
        const uint32_t width = at(d + 12) | (static_cast<uint32_t>(at(d + 14) & 0xF0) << 4);
        const uint32_t height = at(d + 13) | (static_cast<uint32_t>(at(d + 14) & 0x0F) << 8);
        if (const EdidSize size = IfPlausible(width, height); size.widthMm != 0) return size;
    }
    // Whole centimetres; one of them 0 makes the other an aspect ratio, not a size.
    return IfPlausible(at(21) * 10u, at(22) * 10u);
}

std::string EdidRegistryKey(std::string_view interfaceName) {
    constexpr std::string_view kPrefix = "\\\\?\\";
    if (interfaceName.substr(0, kPrefix.size()) != kPrefix) return {};
    std::string_view rest = interfaceName.substr(kPrefix.size());
    // The class, the hardware id and the instance, '#' between them; the
    // interface's class GUID after the last '#' is no part of the key.
    std::string key = "SYSTEM\\CurrentControlSet\\Enum";
    for (int part = 0; part < 3; ++part) {
        const size_t hash = rest.find('#');
        if (hash == 0 || hash == std::string_view::npos) return {};
        const std::string_view name = rest.substr(0, hash);
        if (name.find_first_of("\\/") != std::string_view::npos || name == "." || name == "..") return {};
        key += '\\';
        key += name;
        rest.remove_prefix(hash + 1);
    }
    return key + "\\Device Parameters";
}

}  // namespace qm
