#include "app/debug_log.h"

namespace qm {

std::string DebugLogLine(const std::string& nowText, const std::string& secondsText, const std::string& message) {
    return nowText + ".(" + secondsText + "): " + message + "\r\n";
}

void WriteDebugLog(Platform& platform, const std::string& message) {
    const double seconds = platform.clock.HiResSeconds();  // when the entry began
    std::string line = DebugLogLine(platform.calendar.NowText(), platform.numbers.Format(seconds, 5), message);
    const std::string path = ProgramFilePath(platform, kDebugLogName);

    // Only the length and the last byte are looked at: the log may be large.
    const FileTail end = platform.files.Tail(path, 1);
    std::string lineEnd;  // what an earlier write that was cut off lacks
    if (!end.bytes.empty() && end.bytes.back() != '\n') lineEnd = end.bytes.back() == '\r' ? "\n" : "\r\n";
    if (end.size > 0 && end.size + lineEnd.size() + line.size() > kDebugLogLimit) {
        // One move: the earlier lines are always in one file or the other.
        platform.files.Replace(path, ProgramFilePath(platform, kOldDebugLogName), WhenBusy::RetryBriefly);
        lineEnd.clear();
    }
    platform.files.Append(path, lineEnd + line);
}

bool FailureLog::Failed(const std::string& source, const std::string& what) {
    auto it = last_.find(source);
    if (it != last_.end() && it->second == what) return false;
    last_[source] = what;
    try {
        WriteDebugLog(platform_, source + " failed: " + what);
    } catch (const std::exception&) {
        // Nowhere left to report it; the figures are still held in memory.
    }
    return true;
}

}  // namespace qm
