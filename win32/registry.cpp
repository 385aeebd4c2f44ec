#include "win32/registry.h"

#include <windows.h>

#include "win32/handles.h"
#include "win32/wide.h"

namespace qm::win32 {

namespace {
HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The text with its %NAME% parts replaced by the environment's values, as
// Windows does for a REG_EXPAND_SZ value before it uses it.
std::wstring Expanded(const std::wstring& text) {
    std::wstring expanded(text.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), DWORD(expanded.size()));
        if (length == 0) return text;
        if (length <= expanded.size()) {
            expanded.resize(length - 1);
            return expanded;
        }
        expanded.resize(length);
    }
}

// Where Windows keeps the Startup switch's entries for the Run values under
// that root, always in the 64-bit view of the registry. A 32-bit program's
// machine-wide Run value lies in the 32-bit view on 64-bit Windows, and its
// entry under Run32.
std::wstring ApprovalSubkey(RegistryRoot root) {
    std::wstring subkey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
    BOOL wow64 = FALSE;
    if (root == RegistryRoot::LocalMachine && IsWow64Process(GetCurrentProcess(), &wow64) && wow64) subkey += L"32";
    return subkey;
}
}  // namespace

bool Win32Registry::SetStringValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                                   const std::string& data) {
    UniqueKey key;
    if (RegCreateKeyExW(RootKey(root), Widen(subkey).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.out(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring text = Widen(data);
    // REG_SZ data includes its terminating NUL.
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) {
    UniqueKey key;
    if (RegOpenKeyExW(RootKey(root), Widen(subkey).c_str(), 0, KEY_SET_VALUE, key.out()) != ERROR_SUCCESS)
        return false;
    return RegDeleteValueW(key.get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

std::optional<std::string> Win32Registry::GetStringValue(RegistryRoot root, const std::string& subkey,
                                                         const std::string& name) {
    UniqueKey key;
    if (RegOpenKeyExW(RootKey(root), Widen(subkey).c_str(), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring valueName = Widen(name);
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcsnlen(text.c_str(), text.size()));
    return Narrow(type == REG_EXPAND_SZ ? Expanded(text) : text);
}

std::optional<std::vector<uint8_t>> Win32Registry::GetStartupApproval(RegistryRoot root, const std::string& name) {
    UniqueKey key;
    if (RegOpenKeyExW(RootKey(root), ApprovalSubkey(root).c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                      key.out()) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring valueName = Widen(name);
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return std::nullopt;
    std::vector<uint8_t> data(bytes + 1);
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, data.data(), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(bytes);
    return data;
}

bool Win32Registry::SetStartupApproval(RegistryRoot root, const std::string& name,
                                       const std::vector<uint8_t>& data) {
    UniqueKey key;
    if (RegCreateKeyExW(RootKey(root), ApprovalSubkey(root).c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                        nullptr, key.out(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_BINARY, data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

}  // namespace qm::win32
