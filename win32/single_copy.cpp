#include "win32/single_copy.h"

#include "win32/files.h"
#include "win32/wide.h"

namespace qm::win32 {

namespace {
// Whether the file is "delete pending": the folder still lists it as a file
// that may be written, but Windows refuses every open of it, even one that
// only looks at it, until the last program that has it open lets go. A
// read-only file, a folder of that name or a file this user may look at but
// not delete answers "access denied" too, and is the folder's fault.
bool DeletePending(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(path.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    UniqueFile look(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                nullptr));
    return !look && GetLastError() == ERROR_ACCESS_DENIED;
}
}  // namespace

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
    const std::wstring name = ExtendedPath(path);
    for (int tries = 1;; ++tries) {
        UniqueFile file(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (file) {
            files_.push_back(std::move(file));
            return FileLockResult::Held;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return FileLockResult::HeldElsewhere;
        if (error == ERROR_ACCESS_DENIED && DeletePending(name)) return FileLockResult::Going;
        // Refused while it was still delete pending, it may be gone by the
        // time it was looked at: one more try tells.
        if (error == ERROR_ACCESS_DENIED && tries == 1) continue;
        reason = ErrorText(error);
        return FileLockResult::Failed;
    }
}

void Win32CopyLocks::Pause(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace qm::win32
