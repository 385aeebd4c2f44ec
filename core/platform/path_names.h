// How the system names files and folders: the one spelling of a path, equal
// names, the profile folders.
#pragma once

#include <string>
#include <vector>

namespace qm {

// What the registration needs to know of the names of files and folders.
class PathNames {
public:
    virtual ~PathNames() = default;
    // The one spelling of an existing file or folder, with symbolic links,
    // junctions, substitute and mapped drive letters and 8.3 names resolved;
    // the path as it is when it cannot be resolved.
    virtual std::string FinalPath(const std::string& path) = 0;
    // Whether two spellings are equal as Windows compares file names: letter
    // case aside, in every alphabet.
    virtual bool SameName(const std::string& a, const std::string& b) = 0;
    // The folders that hold user profiles: this user's (%USERPROFILE%) and
    // the one that holds every user's (C:\Users). Either may be missing.
    virtual std::vector<std::string> ProfileFolders() = 0;
};

}  // namespace qm
