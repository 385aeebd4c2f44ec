#include "win32/screens.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "core/edid.h"
#include "win32/handles.h"
#include "win32/wide.h"

namespace qm::win32 {

namespace {

// EnumDisplayDevicesW's flag for the monitors' device interface names, whose
// parts name the monitor's key in the registry.
constexpr DWORD kDeviceInterfaceName = 0x00000001;  // EDID_GET_DEVICE_INTERFACE_NAME
// An EDID is a 128-byte block and its extensions, at most 255 of them.
constexpr DWORD kLargestEdid = 256 * 128;

// The EDID the system keeps for a monitor in its device's key, read only.
std::string ReadEdid(const std::wstring& interfaceName) {
    const std::string subkey = EdidRegistryKey(Narrow(interfaceName));
    if (subkey.empty()) return {};
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(subkey).c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.out()) !=
        ERROR_SUCCESS)
        return {};
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.get(), L"EDID", nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_BINARY || bytes == 0 || bytes > kLargestEdid)
        return {};
    std::string edid(bytes, '\0');
    if (RegQueryValueExW(key.get(), L"EDID", nullptr, &type, reinterpret_cast<BYTE*>(edid.data()), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_BINARY)
        return {};
    edid.resize(std::min<size_t>(bytes, edid.size()));
    return edid;
}

// The picture's size of the first active monitor on the display `device`
// (MONITORINFOEXW's szDevice) that tells one; unknown when none does.
EdidSize SizeOfDisplay(const wchar_t* device) {
    DISPLAY_DEVICEW monitor{};
    monitor.cb = sizeof monitor;
    for (DWORD i = 0; EnumDisplayDevicesW(device, i, &monitor, kDeviceInterfaceName); ++i) {
        if (monitor.StateFlags & DISPLAY_DEVICE_ACTIVE) {
            const EdidSize size = PhysicalSizeFromEdid(ReadEdid(monitor.DeviceID));
            if (size.widthMm != 0) return size;
        }
        monitor = {};
        monitor.cb = sizeof monitor;
    }
    return {};
}

// The EDID gives the panel's size as it stands in landscape; a display turned
// a quarter has it the other way round.
bool TurnedAQuarter(const wchar_t* device) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsExW(device, ENUM_CURRENT_SETTINGS, &mode, 0) || !(mode.dmFields & DM_DISPLAYORIENTATION))
        return false;
    return mode.dmDisplayOrientation == DMDO_90 || mode.dmDisplayOrientation == DMDO_270;
}

struct Found {
    std::vector<Monitor> monitors;
    size_t primary = 0;
};

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    Found& found = *reinterpret_cast<Found*>(data);
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(handle, &info)) return TRUE;
    const RECT& r = info.rcMonitor;
    Monitor monitor{r.left, r.top, r.right, r.bottom};
    if (monitor.Width() <= 0 || monitor.Height() <= 0) return TRUE;
    EdidSize size = SizeOfDisplay(info.szDevice);
    if (TurnedAQuarter(info.szDevice)) std::swap(size.widthMm, size.heightMm);
    monitor.widthMm = size.widthMm;
    monitor.heightMm = size.heightMm;
    if (info.dwFlags & MONITORINFOF_PRIMARY) found.primary = found.monitors.size();
    found.monitors.push_back(monitor);
    return TRUE;
}

}  // namespace

std::vector<Monitor> Win32Screens::Monitors() {
    Found found;
    if (EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&found)) &&
        !found.monitors.empty()) {
        std::rotate(found.monitors.begin(), found.monitors.begin() + static_cast<ptrdiff_t>(found.primary),
                    found.monitors.begin() + static_cast<ptrdiff_t>(found.primary) + 1);
        return found.monitors;
    }
    // The main monitor's corner is the origin of the virtual screen.
    Monitor primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (primary.Width() <= 0 || primary.Height() <= 0) {
        const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
        primary = {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    }
    return {primary};
}

}  // namespace qm::win32
