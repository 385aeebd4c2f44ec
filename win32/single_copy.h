// The single-copy locks as a Windows mutex and a lock file, both held until
// the process ends.
#pragma once

#include <string>
#include <vector>

#include "app/single_copy.h"
#include "win32/handles.h"

namespace qm::win32 {

class Win32CopyLocks : public CopyLocks {
public:
    bool Claim(const std::string& name) override;
    FileLockResult HoldFile(const std::string& path, std::string& reason) override;
    void Pause(unsigned milliseconds) override;

private:
    std::vector<UniqueHandle> mutexes_;
    std::vector<UniqueFile> files_;
};

}  // namespace qm::win32
