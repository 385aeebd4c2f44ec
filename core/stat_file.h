// stat.dat: the all-time figures and the start-with-Windows flag, nine text
// lines each ending in CR LF:
//   1 KeysPressed  2 OtherKeysTime  3 MousePixels  4 LettersTyped
//   5 TypingTime   6 MouseClicks    7 PassedSeconds 8 SinceDate  9 True/False
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/atomic_file.h"
#include "core/numbers.h"
#include "core/platform/clock.h"
#include "core/platform/files.h"
#include "core/statistics.h"

namespace qm {

// A load or save of stat.dat that failed, naming the file, the line (0 when
// the failure is not about one line) and what is wrong.
class StatFileError : public std::runtime_error {
public:
    enum class Reason { CannotRead, EndOfFile, Overflow };
    StatFileError(Reason reason, std::string path, int line, const std::string& message);
    Reason reason;
    std::string path;
    int line;
};

// Line 9: "True" or "False" in any letter case, or a number (0 is false).
// Nothing for any other text, a number beyond the range of a double included.
std::optional<bool> ReadFlag(std::string_view text);

// The nine lines exactly as they are written.
std::string StatFileText(const StatRecord& common, bool autorunEnabled);

// True when the file is there, false when it or its folder is missing.
// Raises FileError when the system cannot tell (access denied, for one): the
// file may be there, so nothing may be written over it.
bool FileExists(FileSystem& files, const std::string& path);


// Merges the unsaved part of the run into CommonStat, then writes the file.
// The merge is complete before the file is touched: a failed merge leaves the
// accounts and the file as they were. A failed write leaves the old file and
// the merged accounts, so the next save writes everything. Returns the
// all-time figures the merge held at a limit of the 32-bit range.
std::vector<CappedField> SaveStatistics(Statistics& stats, FileSystem& files, const std::string& path);

// Reads the file into CommonStat and AutorunEnabled. Lines 1 to 8 must be
// there and the counters must fit in 32 bits; otherwise StatFileError names
// the line and the accounts stay as they were. An empty or "0" line 8 means
// today. Line 9 never fails the load: when it is missing or is no flag,
// AutorunEnabled goes on and setAutorun(true) is called. Never writes the
// file. Returns the ContentHash of the bytes it read.
uint64_t LoadStatistics(Statistics& stats, FileSystem& files, const std::string& path,
                    const Calendar& calendar, const std::function<void(bool)>& setAutorun);

}  // namespace qm
