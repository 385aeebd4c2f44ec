// The platform services the statistics core needs, as small interfaces.
// The Windows build implements them over Win32; tests use fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qm {

struct LocalDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
};

struct LocalDateTime {
    LocalDate date;
    int hour = 0;    // 0..23
    int minute = 0;
    int second = 0;
};

// Today's local date, and the local date and time as regional text.
class Calendar {
public:
    virtual ~Calendar() = default;
    virtual LocalDate Today() const = 0;
    virtual LocalDateTime Now() const = 0;
    // The regional short date, a blank, the regional time (UTF-8).
    virtual std::string NowText() const = 0;
};

// The user's regional number format.
class NumberFormat {
public:
    virtual ~NumberFormat() = default;
    // The value with exactly `decimals` decimals, with the regional decimal
    // symbol, digit grouping and leading zero (UTF-8).
    virtual std::string Format(double value, int decimals) const = 0;
};

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

// The length of a file and its last bytes.
struct FileTail {
    uint64_t size = 0;
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
    // The length and the last `count` bytes of the file, without reading the
    // rest; a file that is not there has length zero and no bytes.
    virtual FileTail Tail(const std::string& path, size_t count) = 0;
    // Creates the file, or truncates it to length zero.
    virtual std::unique_ptr<WritableFile> Create(const std::string& path) = 0;
    // Puts `from` in the place of `to` in one step, replacing `to` if present.
    virtual void Replace(const std::string& from, const std::string& to, WhenBusy whenBusy) = 0;
    // Removes the file if it is there; never fails.
    virtual void Remove(const std::string& path) noexcept = 0;
    // Appends to the file, creating it when missing.
    virtual void Append(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace qm
