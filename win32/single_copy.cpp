#include "win32/single_copy.h"

#include "win32/wide.h"

namespace qm::win32 {

bool Win32CopyLocks::Claim(const std::string& name) {
    // Creating and testing are one step, so two starts at the same moment
    // cannot both win. A lock made by another user may be denied to us:
    // that too means a copy holds it.
    UniqueHandle lock(CreateMutexW(nullptr, FALSE, Widen(name).c_str()));
    const DWORD error = GetLastError();
    const bool heldElsewhere = error == ERROR_ALREADY_EXISTS || (!lock && error == ERROR_ACCESS_DENIED);
    if (lock) held_.push_back(std::move(lock));
    return !heldElsewhere;
}

std::string Win32CopyLocks::FolderIdentity(const std::string& folder) {
    // Full, then long (no 8.3 parts), then upper case as the file system compares names.
    std::wstring path = Widen(folder);
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length > 0) {
        std::wstring full(length, L'\0');
        length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
        if (length > 0 && length < full.size()) path.assign(full.c_str(), length);
    }
    length = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (length > 0) {
        std::wstring longPath(length, L'\0');
        length = GetLongPathNameW(path.c_str(), longPath.data(), length);
        if (length > 0 && length < longPath.size()) path.assign(longPath.c_str(), length);
    }
    if (!path.empty()) {
        std::wstring upper(path.size(), L'\0');
        if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.c_str(), static_cast<int>(path.size()),
                          upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0) > 0)
            path = upper;
    }
    return Narrow(path);
}

}  // namespace qm::win32
