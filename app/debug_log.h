// DbgFile.dat: a text log beside the program. It is kept to at most
// kDebugLogLimit bytes: the line that would pass the limit first moves the
// file aside to DbgFile.old (replacing an older one), and a new file starts.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "core/platform/clock.h"
#include "core/platform/files.h"
#include "core/platform/number_format.h"

namespace qm {

inline constexpr uint64_t kDebugLogLimit = 1024 * 1024;
inline constexpr const char* kDebugLogName = "DbgFile.dat";
inline constexpr const char* kOldDebugLogName = "DbgFile.old";

// "<date> <time>.(<seconds, five decimals, regional>): <message>" and CR LF.
std::string DebugLogLine(const std::string& nowText, const std::string& secondsText, const std::string& message);

class DebugLog {
public:
    // The log in `folder` (with or without its closing backslash).
    DebugLog(FileSystem& files, const std::string& folder, const Calendar& calendar, TimeSource& clock,
             const NumberFormat& numbers);

    // Appends one line, starting on a line of its own even when an earlier
    // write was cut off mid-line. Raises FileError when it cannot.
    void Write(const std::string& message);
    // As Write, for a line that must not stop what is going on: a log that
    // cannot be written is left so, as there is nowhere left to report it.
    void WriteQuietly(const std::string& message) noexcept;
    // As WriteQuietly, once: a failure about one file goes to the log once,
    // until that file has been written in between (and `last` cleared).
    void WriteOnce(std::string& last, const std::string& message);

private:
    FileSystem& files_;
    std::string path_, oldPath_;
    const Calendar& calendar_;
    TimeSource& clock_;
    const NumberFormat& numbers_;
};

// Failures caught at the edge of a tick, timer or command go to the debug
// log once: the same failure again from the same source adds no line until
// that source has succeeded in between. A log that cannot be written is
// ignored, since the program must go on either way.
class FailureLog {
public:
    explicit FailureLog(DebugLog& log) : log_(log) {}
    // True when this failure was new and a line was attempted.
    bool Failed(const std::string& source, const std::string& what);
    void Succeeded(const std::string& source) { last_.erase(source); }

private:
    DebugLog& log_;
    std::map<std::string, std::string> last_;
};

}  // namespace qm
