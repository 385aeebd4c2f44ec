#include "app/single_copy.h"

#include <cstdint>
#include <cstdio>

namespace qm {

std::string FolderLockName(const std::string& folderIdentity) {
    std::string key = folderIdentity;
    while (key.size() > 1 && (key.back() == '\\' || key.back() == '/')) key.pop_back();
    // FNV-1a: short, stable and well spread; a lock name cannot hold a path.
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : key) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string("Global\\Velturn.Quillmark.Folder.") + hex;
}

CopyRefusal ClaimSingleCopy(CopyLocks& locks, const std::string& programFolder) {
    if (!locks.Claim(kSessionLockName)) return CopyRefusal::SameSession;
    if (!locks.Claim(FolderLockName(locks.FolderIdentity(programFolder)))) return CopyRefusal::SameFolder;
    return CopyRefusal::None;
}

}  // namespace qm
