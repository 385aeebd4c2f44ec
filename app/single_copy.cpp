#include "app/single_copy.h"

namespace qm {

namespace {
// How long a start waits for the lock file of a copy that has just ended.
constexpr unsigned kGoingPauseMs = 100;
constexpr int kGoingPauses = 20;
}  // namespace

CopyClaim ClaimSingleCopy(CopyLocks& locks, const std::string& lockFilePath) {
    if (!locks.Claim(kSessionLockName)) return {CopyRefusal::SameSession, {}};
    std::string reason;
    for (int pauses = 0;; ++pauses) {
        switch (locks.HoldFile(lockFilePath, reason)) {
            case FileLockResult::Held: return {};
            case FileLockResult::HeldElsewhere: return {CopyRefusal::SameStatFile, {}};
            case FileLockResult::Going:
                // A virus scanner, indexer or sync client that opened the
                // lock file keeps it a moment after its copy has ended. One
                // that keeps it longer holds it as a copy would: the start is
                // refused as a second copy, never as a folder to move from.
                if (pauses == kGoingPauses) return {CopyRefusal::LockFileHeld, {}};
                locks.Pause(kGoingPauseMs);
                continue;
            case FileLockResult::Failed: break;
        }
        return {CopyRefusal::NoLockFile, reason};
    }
}

}  // namespace qm
