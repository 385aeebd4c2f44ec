#include "win32/single_copy.h"

#include "win32/files.h"
#include "win32/wide.h"

namespace qm::win32 {

bool Win32CopyLocks::Claim(const std::string& name) {
    // Creating and testing are one step, so two starts at the same moment
    // cannot both win. A lock made by another user may be denied to us:
    // that too means a copy holds it.
    UniqueHandle lock(CreateMutexW(nullptr, FALSE, Widen(name).c_str()));
    const DWORD error = GetLastError();
    const bool heldElsewhere = error == ERROR_ALREADY_EXISTS || (!lock && error == ERROR_ACCESS_DENIED);
    if (lock) mutexes_.push_back(std::move(lock));
    return !heldElsewhere;
}

FileLockResult Win32CopyLocks::HoldFile(const std::string& path, std::string& reason) {
    // Opened for writing and shared with readers only: a second copy, which
    // asks to write, is refused by the file system (by the server, over the
    // network) under any spelling of the path, while a backup may still read
    // the empty file. Windows deletes it when the last handle goes, which it
    // closes itself when the process ends, killed or not. Creating and
    // opening are one step, so two starts at the same moment cannot both win.
    UniqueFile file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (file) {
        files_.push_back(std::move(file));
        return FileLockResult::Held;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return FileLockResult::HeldElsewhere;
    reason = ErrorText(error);
    return FileLockResult::Failed;
}

}  // namespace qm::win32
