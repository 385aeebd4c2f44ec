#include "app/debug_log.h"

namespace qm {

std::string DebugLogLine(const std::string& nowText, const std::string& secondsText, const std::string& message) {
    return nowText + ".(" + secondsText + "): " + message + "\r\n";
}

void WriteDebugLog(Platform& platform, const std::string& message) {
    const double seconds = platform.clock.HiResSeconds();  // when the entry began
    const std::string line = DebugLogLine(platform.calendar.NowText(), platform.numbers.Format(seconds, 5), message);
    platform.files.Append(ProgramFilePath(platform, "DbgFile.dat"), line);
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
