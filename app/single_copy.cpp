#include "app/single_copy.h"

namespace qm {

CopyClaim ClaimSingleCopy(CopyLocks& locks, const std::string& lockFilePath) {
    if (!locks.Claim(kSessionLockName)) return {CopyRefusal::SameSession, {}};
    std::string reason;
    switch (locks.HoldFile(lockFilePath, reason)) {
        case FileLockResult::Held: return {};
        case FileLockResult::HeldElsewhere: return {CopyRefusal::SameStatFile, {}};
        case FileLockResult::Failed: break;
    }
    return {CopyRefusal::NoLockFile, reason};
}

}  // namespace qm
