#include "win32/path_names.h"

#include <windows.h>

#include "win32/files.h"
#include "win32/handles.h"
#include "win32/registry.h"
#include "win32/wide.h"

namespace qm::win32 {

std::string Win32PathNames::FinalPath(const std::string& path) {
    // Opening asks for no access, so a folder or a file in use opens too.
    UniqueFile file(CreateFileW(ExtendedPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return path;
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file.get(), final.data(), static_cast<DWORD>(final.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return path;
        if (length < final.size()) {
            final.resize(length);
            break;
        }
        final.resize(length + 1);
    }
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0)
        final = L"\\\\" + final.substr(8);
    else if (final.rfind(L"\\\\?\\", 0) == 0)
        final = final.substr(4);
    return Narrow(final);
}

bool Win32PathNames::SameName(const std::string& a, const std::string& b) {
    const std::wstring wa = Widen(a), wb = Widen(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()),
                                TRUE) == CSTR_EQUAL;
}

std::vector<std::string> Win32PathNames::ProfileFolders() {
    std::vector<std::string> folders;
    wchar_t buffer[32768];
    const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", buffer, 32768);
    if (length > 0 && length < 32768) folders.push_back(Narrow(buffer));
    // The folder that holds every profile, "%SystemDrive%\\Users" expanded.
    const std::optional<std::string> profiles = Win32Registry().GetStringValue(
        RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
        "ProfilesDirectory");
    if (profiles && !profiles->empty()) folders.push_back(*profiles);
    return folders;
}

}  // namespace qm::win32
