#include "core/edid.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace qm {
namespace {

// A 27-inch monitor's base block: 597 x 336 mm in its first timing, 60 x 34 cm in its own fields.
constexpr char kMonitor27[] =
    "00ffffffffffff0010aca3404c5341301e1d0104b53c22783afe25a9544da2260e5054a54b00d1c0714f81008180a9c0010101010101"
    "565e00a0a0a029503020350055502100001a000000ff00434656394e3743523058514c0a000000fc0044454c4c20553237313744"
    "0a20000000fd00314c1e5a19010a20202020202000c0";

// That block with bytes changed ({at, value}) and its checksum kept right.
std::string Edid(std::initializer_list<std::pair<size_t, int>> changes = {}) {
    std::string b;
    for (const char* p = kMonitor27; *p; p += 2) b += static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16));
    for (auto [at, value] : changes) {
        b[127] = static_cast<char>(b[127] + b[at] - value);
        b[at] = static_cast<char>(value);
    }
    return b;
}

TEST(Edid, SizeOfTheTimingElseTheCentimetresOfAWholeBlock) {
    EXPECT_EQ(PhysicalSizeFromEdid(Edid()), (EdidSize{597, 336}));
    EXPECT_EQ(PhysicalSizeFromEdid(Edid({{66, 0}, {67, 0}, {68, 0}})), (EdidSize{600, 340}));
    EXPECT_EQ(PhysicalSizeFromEdid(Edid({{66, 16}, {67, 9}, {68, 0}})), (EdidSize{600, 340}));  // an aspect ratio
    for (const std::string& damaged : {Edid({{127, 0xC1}}), Edid({{0, 1}}), Edid().substr(0, 127)})
        EXPECT_EQ(PhysicalSizeFromEdid(damaged), EdidSize{});  // the checksum one off, no header, cut short
}

TEST(Edid, RegistryKeyOfAMonitorsInterface) {
    EXPECT_EQ(EdidRegistryKey("\\\\?\\DISPLAY#DEL40A3#5&2a8e4d4&0&UID4352#{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}"),
              "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\DEL40A3\\5&2a8e4d4&0&UID4352\\Device Parameters");
    for (const char* other : {"\\\\?\\DISPLAY#DEL40A3##{e}", "\\\\?\\DISPLAY#..#x#{e}", "DISPLAY\\DEL40A3\\1"})
        EXPECT_EQ(EdidRegistryKey(other), "") << other;
}

}  // namespace
}  // namespace qm
