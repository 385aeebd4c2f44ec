// The single-copy locks as Windows mutexes, held until the process ends.
#pragma once

#include <string>
#include <vector>

#include "app/single_copy.h"
#include "win32/handles.h"

namespace qm::win32 {

class Win32CopyLocks : public CopyLocks {
public:
    bool Claim(const std::string& name) override;
    std::string FolderIdentity(const std::string& folder) override;

private:
    std::vector<UniqueHandle> held_;
};

}  // namespace qm::win32
