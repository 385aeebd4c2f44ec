// Files, named by UTF-8 paths: reading, writing, replacing in one step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Failure of a file operation; the message names the file and the step.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file opened for writing. Every call may raise FileError.
class WritableFile {
public:
    virtual ~WritableFile() = default;
    virtual void Write(std::string_view bytes) = 0;
    // Forces the written bytes to the disk.
    virtual void Flush() = 0;
    virtual void Close() = 0;
};

// The length of a file, the time of its last write and its last bytes.
struct FileTail {
    uint64_t size = 0;
    // The system's own stamp of the last write, only to be compared with
    // another one of the same file (0 when the file is not there).
    uint64_t modified = 0;
    std::string bytes;  // at most the count asked for; fewer when the file is shorter
};

// What a replace does while another program holds the file it replaces.
enum class WhenBusy {
    // A virus scanner or backup program holds a file for a moment: try again
    // for about half a second.
    RetryBriefly,
    // A file that may stay open for hours (a spreadsheet has history.csv):
    // fail at once, so that counting does not stall; a later save tries again.
    FailAtOnce,
};

// Files, named by UTF-8 paths. Everything but Remove raises FileError on
// failure.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True when the length of the file can be obtained (a file of length zero
    // exists), false when the file or its folder is not there. Any other
    // failure (access denied, a device error) raises FileError: the file may
    // well be there.
    virtual bool Exists(const std::string& path) = 0;
    virtual std::string ReadAll(const std::string& path) = 0;
    // The length, the time of the last write and the last `count` bytes of
    // the file, without reading the rest; a file that is not there has
    // length zero and no bytes.
    virtual FileTail Tail(const std::string& path, size_t count) = 0;
    // Creates the file, or truncates it to length zero.
    virtual std::unique_ptr<WritableFile> Create(const std::string& path) = 0;
    // Puts `from` in the place of `to` in one step, replacing `to` if present.
    virtual void Replace(const std::string& from, const std::string& to, WhenBusy whenBusy) = 0;
    // Removes the file if it is there; never fails.
    virtual void Remove(const std::string& path) noexcept = 0;
    // Appends to the file, creating it when missing.
    virtual void Append(const std::string& path, std::string_view bytes) = 0;
    // Creates the folder unless it is there already (its parent must be).
    virtual void CreateFolder(const std::string& path) = 0;
    // The names of the files in the folder (no folders, no paths), in no
    // particular order; none when the folder is not there.
    virtual std::vector<std::string> FileNames(const std::string& folder) = 0;
};

}  // namespace qm
