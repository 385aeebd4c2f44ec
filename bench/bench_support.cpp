#include "bench/bench_support.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "core/history.h"
#include "core/stat_file.h"

namespace qm::bench {

void ReportAs(benchmark::State& state, const std::string& name) { state.SetLabel(name); }

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmark-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("Cannot create a temporary folder " + pattern + ": " + std::strerror(errno));
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void FillWithEverydayFigures(Statistics& stats) {
    StatRecord& common = stats.CommonStat;
    common.KeysPressed = 1523400;
    common.OtherKeysTime = 81237.25;
    common.MousePixels = 452187300;
    common.LettersTyped = 987600;
    common.TypingTime = 154320.5;
    common.MouseClicks = 341000;
    common.PassedSeconds = 8640000;
    common.SinceDate = "03-14-2024";

    StatRecord& current = stats.CurrentStat;
    current.KeysPressed = 15234;
    current.OtherKeysTime = 812.37;
    current.MousePixels = 4521873;
    current.LettersTyped = 9876;
    current.TypingTime = 1543.2;
    current.MouseClicks = 3410;
    current.PassedSeconds = 14400;
    current.SinceDate = "12-07-2026";

    // Saved a minute ago: part of the run is already in CommonStat.
    stats.SavedStat = current;
    stats.SavedStat.KeysPressed -= 120;
    stats.SavedStat.MousePixels -= 35000;
    stats.SavedStat.PassedSeconds -= 60;
}

void WriteWholeFile(PosixFileSystem& files, const std::string& path, const std::string& text) {
    auto file = files.Create(path);
    file->Write(text);
    file->Close();
}

void CountAMinute(AppState& app) {
    StatRecord& c = app.stats.CurrentStat;
    c.KeysPressed += 120;
    c.MouseClicks += 15;
    c.MousePixels += 9000;
    c.LettersTyped += 100;
    c.TypingTime += 20.5;
    c.OtherKeysTime += 3.25;
    c.PassedSeconds += 60;
}

std::string StartWithHistory(NativePlatform& native, AppState& app, const std::string& history) {
    FillWithEverydayFigures(app.stats);
    SaveStatistics(app.stats, native.files, native.platform.folder.StatFile());
    const std::string path = native.platform.folder.History();
    WriteWholeFile(native.files, path, history);
    return path;
}

std::string TenYearHistory() {
    std::vector<HistoryRow> rows;
    LocalDate day{2016, 12, 8};
    const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int i = 0; i < 3650; ++i) {
        rows.push_back({HistoryDate(day), {23456, 3456, 2345678, 17890, 2345.67, 456.78, 28800 + i}});
        const bool leap = day.year % 4 == 0 && (day.year % 100 != 0 || day.year % 400 == 0);
        const int length = day.month == 2 && leap ? 29 : kDays[day.month - 1];
        if (++day.day > length) {
            day.day = 1;
            if (++day.month > 12) day.month = 1, ++day.year;
        }
    }
    return HistoryText(rows);
}

std::vector<ProgramRow> MonthOfPrograms(int year, int month, int days) {
    std::vector<ProgramRow> rows;
    char date[40], program[32], name[32];
    for (int day = 1; day <= days; ++day) {
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
        for (int p = 0; p < kProgramsADay; ++p) {
            std::snprintf(program, sizeof program, "program%02d.exe", p);
            std::snprintf(name, sizeof name, "Program %d", p);
            rows.push_back({date, program, name, {520 + p, 110, 30211, 402, 101.5, 12.02, 1830420}});
        }
    }
    return rows;
}

}  // namespace qm::bench
