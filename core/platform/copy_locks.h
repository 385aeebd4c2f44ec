// The system's named locks and lock files, which keep to one running copy.
#pragma once

#include <string>

namespace qm {

enum class FileLockResult {
    Held,         // this process holds the lock file until it ends
    HeldElsewhere,  // another process holds it
    Going,        // it is being deleted, and no one may open it until the last
                  // program that has it open (a virus scanner, an indexer) lets go
    Failed,       // it cannot be created or opened; the reason says why
};

// The system's named locks and lock files.
class CopyLocks {
public:
    virtual ~CopyLocks() = default;
    // Takes the named lock for the rest of the process; false when another
    // process holds it (a lock this process may not even open counts as held).
    virtual bool Claim(const std::string& name) = 0;
    // Creates the file when missing and holds it for the rest of the process;
    // it is deleted when the process lets go of it. On Failed, `reason` is
    // the system's text.
    virtual FileLockResult HoldFile(const std::string& path, std::string& reason) = 0;
    // Waits before the next try of a lock file that is going.
    virtual void Pause(unsigned milliseconds) = 0;
};

}  // namespace qm
