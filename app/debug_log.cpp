#include "app/debug_log.h"

#include "core/text.h"

namespace qm {

std::string DebugLogLine(const std::string& nowText, const std::string& secondsText, const std::string& message) {
    return nowText + ".(" + secondsText + "): " + message + "\r\n";
}

DebugLog::DebugLog(FileSystem& files, const std::string& folder, const Calendar& calendar, TimeSource& clock,
                   const NumberFormat& numbers)
    : files_(files),
      path_(AddBackslash(folder) + kDebugLogName),
      oldPath_(AddBackslash(folder) + kOldDebugLogName),
      calendar_(calendar),
      clock_(clock),
      numbers_(numbers) {}

void DebugLog::Write(const std::string& message) {
    const double seconds = clock_.HiResSeconds();  // when the entry began
    std::string line = DebugLogLine(calendar_.NowText(), numbers_.Format(seconds, 5), message);

    // Only the length and the last byte are looked at: the log may be large.
    const FileTail end = files_.Tail(path_, 1);
    std::string lineEnd;  // what an earlier write that was cut off lacks
    if (!end.bytes.empty() && end.bytes.back() != '\n') lineEnd = end.bytes.back() == '\r' ? "\n" : "\r\n";
    if (end.size > 0 && end.size + lineEnd.size() + line.size() > kDebugLogLimit) {
        // One move: the earlier lines are always in one file or the other.
        files_.Replace(path_, oldPath_, WhenBusy::RetryBriefly);
        lineEnd.clear();
    }
    files_.Append(path_, lineEnd + line);
}

void DebugLog::WriteQuietly(const std::string& message) noexcept {
    try {
        Write(message);
    } catch (...) {
        // Nowhere left to report it; counting and saving go on.
    }
}

bool FailureLog::Failed(const std::string& source, const std::string& what) {
    auto it = last_.find(source);
    if (it != last_.end() && it->second == what) return false;
    last_[source] = what;
    log_.WriteQuietly(source + " failed: " + what);
    return true;
}

void DebugLog::WriteOnce(std::string& last, const std::string& message) {
    if (last == message) return;
    last = message;
    WriteQuietly(message);
}

}  // namespace qm
