// The names of files and folders as Windows resolves and compares them.
#pragma once

#include <string>
#include <vector>

#include "core/platform/path_names.h"

namespace qm::win32 {

class Win32PathNames : public PathNames {
public:
    std::string FinalPath(const std::string& path) override;
    bool SameName(const std::string& a, const std::string& b) override;
    std::vector<std::string> ProfileFolders() override;
};

}  // namespace qm::win32
