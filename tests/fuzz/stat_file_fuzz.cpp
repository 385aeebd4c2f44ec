// Arbitrary bytes as stat.dat, through the in-memory file layer. A load
// either succeeds or fails with StatFileError naming one of lines 1 to 8,
// never anything else; a failed load changes no account and writes nothing;
// a file that loads saves, reloads to the same accounts and saves the same
// bytes again.
#include <cstdint>
#include <exception>
#include <string>
#include <typeinfo>
#include <vector>

#include "core/stat_file.h"
#include "tests/fakes.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace qm;
using fuzz::Require;

const std::string kPath = "C:\\Q\\stat.dat";

// Accounts that no file holds, so that any change by a load shows. The run's
// figures are zero: the save that follows a load then merges nothing.
Statistics Before() {
    Statistics stats;
    stats.CommonStat = {11, 22, 3.25, 44, 5.5, 66, 77, "01-02-2003"};
    stats.CurrentStat.SinceDate = "04-05-2006";
    stats.SavedStat.SinceDate = "07-08-2009";
    stats.AutorunEnabled = false;
    return stats;
}

bool Same(const Statistics& a, const Statistics& b) {
    return a.CommonStat == b.CommonStat && a.CurrentStat == b.CurrentStat && a.SavedStat == b.SavedStat &&
           a.AutorunEnabled == b.AutorunEnabled;
}

// Loads the file; returns the load's failure, or nothing when it loaded.
// Any other exception stops the run.
std::optional<StatFileError> Load(Statistics& stats, test::MemoryFileSystem& files, std::vector<bool>& autorun) {
    test::FakeCalendar calendar;
    try {
        LoadStatistics(stats, files, kPath, calendar, [&](bool flag) { autorun.push_back(flag); });
        return std::nullopt;
    } catch (const StatFileError& e) {
        return e;
    } catch (const std::exception& e) {
        fuzz::Fail(std::string("the load raised ") + typeid(e).name() + ": " + e.what());
    } catch (...) {
        fuzz::Fail("the load raised something that is not an exception");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    test::MemoryFileSystem files;
    files.files[kPath] = bytes;
    const Statistics before = Before();
    Statistics stats = before;
    std::vector<bool> autorun;

    if (std::optional<StatFileError> failure = Load(stats, files, autorun)) {
        const std::string what = failure->what();
        Require(failure->reason != StatFileError::Reason::CannotRead, "an existing file could not be read: " + what);
        Require(failure->line >= 1 && failure->line <= 8, "the failure names line " + std::to_string(failure->line));
        Require(failure->path == kPath, "the failure names " + failure->path);
        Require(what.find(kPath + ", line " + std::to_string(failure->line) + ":") == 0,
                "the message does not start with the file and line: " + what);
        Require(Same(stats, before), "a failed load changed the accounts");
        Require(autorun.empty(), "a failed load changed the start with Windows");
        Require(files.files.size() == 1 && files.files[kPath] == bytes && files.steps == 0,
                "a failed load wrote to the disk");
        return 0;
    }

    Require(files.files.size() == 1 && files.files[kPath] == bytes && files.steps == 0, "a load wrote to the disk");
    Require(stats.CurrentStat == before.CurrentStat && stats.SavedStat == before.SavedStat,
            "a load changed the run's accounts");
    Require(autorun.empty() || (autorun == std::vector<bool>{true} && stats.AutorunEnabled),
            "the registry was told something other than the fallback's true");
    Require(!stats.CommonStat.SinceDate.empty() && stats.CommonStat.SinceDate != "0",
            "an empty or \"0\" line 8 was not replaced by today");

    try {
        SaveStatistics(stats, files, kPath);
    } catch (const std::exception& e) {
        fuzz::Fail(std::string("saving what loaded raised ") + e.what());
    }
    const std::string saved = files.files[kPath];
    Require(files.files.size() == 1, "a save left another file behind");

    Statistics reloaded = Before();
    std::vector<bool> autorunAgain;
    if (std::optional<StatFileError> failure = Load(reloaded, files, autorunAgain))
        fuzz::Fail("the saved file does not load: " + std::string(failure->what()) + "\nsaved: " +
                   fuzz::Printable(saved));
    const StatRecord& a = stats.CommonStat;
    const StatRecord& b = reloaded.CommonStat;
    Require(a.KeysPressed == b.KeysPressed && a.MousePixels == b.MousePixels && a.LettersTyped == b.LettersTyped &&
                a.MouseClicks == b.MouseClicks && a.PassedSeconds == b.PassedSeconds && a.SinceDate == b.SinceDate,
            "the saved file reloads to other counters or date: " + fuzz::Printable(saved));
    for (auto [x, y] : {std::pair{a.OtherKeysTime, b.OtherKeysTime}, std::pair{a.TypingTime, b.TypingTime}})
        Require(fuzz::FifteenDigits(x) == fuzz::FifteenDigits(y),
                "a real number came back as another: " + fuzz::Exact(x) + " -> " + fuzz::Exact(y));
    Require(reloaded.AutorunEnabled == stats.AutorunEnabled && autorunAgain.empty(),
            "the saved flag reloads differently");

    SaveStatistics(reloaded, files, kPath);
    Require(files.files[kPath] == saved,
            "a second save wrote other bytes:\n" + fuzz::Printable(saved) + "\n" + fuzz::Printable(files.files[kPath]));
    return 0;
}
