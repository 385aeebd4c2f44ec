// One running copy per session, and one per statistics file across sessions.
//
// Two users of one computer each have their own program folder and their own
// stat.dat, so one may count while the other is logged on; but one user must
// never see two tray icons, and two processes must never write the same
// stat.dat (two users starting one shared copy). So there are two locks: a
// per-session name, and a machine-wide name made from the program folder.
#pragma once

#include <string>

namespace qm {

// The system's named locks and folder names.
class CopyLocks {
public:
    virtual ~CopyLocks() = default;
    // Takes the named lock for the rest of the process; false when another
    // process holds it (a lock this process may not even open counts as held).
    virtual bool Claim(const std::string& name) = 0;
    // The folder in its one long, full, upper-case spelling: "c:\progra~1\x\"
    // and "C:\Program Files\X" give the same text.
    virtual std::string FolderIdentity(const std::string& folder) = 0;
};

inline constexpr const char* kSessionLockName = "Local\\Velturn.Quillmark.SingleCopy";

// "Global\Velturn.Quillmark.Folder.<hash>" for a folder identity; a trailing
// backslash makes no difference.
std::string FolderLockName(const std::string& folderIdentity);

enum class CopyRefusal {
    None,         // this copy may run
    SameSession,  // a copy runs in this session
    SameFolder,   // a copy in another session uses this program folder
};

// Claims both locks, the session's first.
CopyRefusal ClaimSingleCopy(CopyLocks& locks, const std::string& programFolder);

}  // namespace qm
