// What a monitor says of itself in its EDID: the size of its picture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

struct EdidSize {
    uint32_t widthMm = 0, heightMm = 0;  // both 0: not known
    bool operator==(const EdidSize&) const = default;
};

// The picture's size from the EDID's base block: that of its first detailed
// timing, else the block's own centimetres. Unknown (0 x 0) unless the block
// is whole (its header, 128 bytes, a checksum of 0) and the size one a real
// screen can have, 10 mm to 5 m a side.
EdidSize PhysicalSizeFromEdid(std::string_view bytes);

// The registry key (under HKEY_LOCAL_MACHINE) that holds the EDID of the
// monitor whose device interface is `interfaceName`, as the system names it:
// "\\?\DISPLAY#DEL40A3#5&2a8e4d4&0&UID4352#{e6f07b5f-...}" gives
// "SYSTEM\CurrentControlSet\Enum\DISPLAY\DEL40A3\5&2a8e4d4&0&UID4352\Device Parameters".
// Empty for a name of any other form.
std::string EdidRegistryKey(std::string_view interfaceName);

}  // namespace qm
