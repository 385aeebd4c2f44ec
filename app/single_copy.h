// One running copy per session, and one per statistics file wherever it runs.
//
// Two users of one computer each have their own program folder and their own
// stat.dat, so one may count while the other is logged on; but one user must
// never see two tray icons, and two processes must never write the same
// stat.dat, however they reach it: through another spelling of its folder
// (8.3 names, \\?\, a substitute or mapped drive letter, a link or junction),
// from another session, or from another computer over the network. So there
// are two locks: a per-session name, and a lock file beside stat.dat that the
// running copy holds open for writing, shared with no other writer. The file
// system itself knows when two paths name one file, the network server does
// so for every computer, and the file goes when the process ends, even when
// it is killed.
#pragma once

#include <string>

#include "core/identity.h"
#include "core/platform/copy_locks.h"

namespace qm {

inline constexpr const char* kSessionLockName = "Local\\" QM_PUBLISHER "." QM_PRODUCT ".SingleCopy";
inline constexpr const char* kLockFileName = "stat.dat.lock";

enum class CopyRefusal {
    None,           // this copy may run
    SameSession,    // a copy runs in this session
    SameStatFile,   // a copy elsewhere (another session or computer) uses this stat.dat
    LockFileHeld,   // a program (a virus scanner) still holds the lock file of a copy that has ended
    NoLockFile,     // the lock file cannot be made: the folder is not one to run in
};

struct CopyClaim {
    CopyRefusal refusal = CopyRefusal::None;
    std::string reason;  // for NoLockFile
};

// Claims the session's lock, then the lock file at that path.
CopyClaim ClaimSingleCopy(CopyLocks& locks, const std::string& lockFilePath);

}  // namespace qm
