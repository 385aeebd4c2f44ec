// Small text helpers shared by every part of the program.
#pragma once

#include <string>
#include <string_view>

namespace qm {

// The folder text unchanged when it ends in "\", otherwise followed by "\".
std::string AddBackslash(std::string_view folder);

// The version as major.minor, for example 1.3.
std::string VersionString();

// The folder that holds a program, from its full path: "C:\Apps\q.exe" gives
// "C:\Apps", "D:\q.exe" gives "D:\" (a drive root keeps its backslash).
std::string FolderOfPath(std::string_view path);

// The file name of a path without its extension: "C:\Apps\q.exe" gives "q".
std::string StemOfPath(std::string_view path);

}  // namespace qm
