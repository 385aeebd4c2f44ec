// Where the running program lies.
#pragma once

#include <string>

namespace qm::win32 {

// Full path of the running executable (UTF-8).
std::string ProgramPath();

}  // namespace qm::win32
