#include "core/text.h"


#include "core/version.h"

namespace qm {

std::string AddBackslash(std::string_view folder) {
    std::string result(folder);
    if (result.empty() || result.back() != '\\') result += '\\';
    return result;
}

std::string VersionString() {
    return std::to_string(QM_VERSION_MAJOR) + "." + std::to_string(QM_VERSION_MINOR);
}

namespace {
size_t LastSeparator(std::string_view path) { return path.find_last_of("\\/"); }
}  // namespace

std::string FolderOfPath(std::string_view path) {
    size_t slash = LastSeparator(path);
    if (slash == std::string_view::npos) return {};
    std::string folder(path.substr(0, slash));
    // "D:" alone names the current folder of drive D, not its root.
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder;
}

std::string StemOfPath(std::string_view path) {
    size_t slash = LastSeparator(path);
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name);
}

}  // namespace qm
