// What the benchmarks share: the platform services natively (real files in a
// temporary program folder, everything else in memory), figures of a copy in
// everyday use, and the naming of the results that scripts/bench.sh prints.
//
// A new benchmark is one more file here named *_bench.cpp: the build picks it
// up, and ReportAs makes it a line of scripts/bench.sh's output.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/save.h"
#include "bench/posix_file_system.h"
#include "core/programs.h"
#include "core/statistics.h"
#include "input/clock.h"
#include "tests/fakes.h"

namespace qm::bench {

// Makes the benchmark the source of the result `name`: the median over the
// repetitions of its time per iteration (CPU time, or real time for a
// benchmark that says UseRealTime), in the unit that the name ends with (_ns,
// _us or _ms), printed as "name: value".
void ReportAs(benchmark::State& state, const std::string& name);

// A new folder under the system's temporary folder, removed with its
// contents at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A clock that moves on by a fixed step at every reading.
class SteppingClock : public TimeSource {
public:
    explicit SteppingClock(double step) : step_(step) {}
    double HiResSeconds() override { return now_ += step_; }

private:
    double now_ = 1000.0;
    double step_;
};

// The program's platform with real files: its folder is a temporary one, so
// stat.dat, DbgFile.dat and the rest land there. Date, registry and regional
// format are the tests' fakes (United States settings).
struct NativePlatform {
    explicit NativePlatform(double clockStep = 0.015) : clock(clockStep) {}

    TempFolder folder;
    PosixFileSystem files;
    test::FakeCalendar calendar;
    SteppingClock clock;
    test::FakeRegistry registry;
    test::FakePathNames paths;
    test::FakeNumberFormat numbers;
    Platform platform{files, calendar, clock, registry, paths, numbers, folder.Path() + "\\quillmark.exe"};
};

// All-time figures of a copy used for a few years, and a run of a few hours,
// so that every text has its everyday length.
void FillWithEverydayFigures(Statistics& stats);

// What a busy user's minute adds to the run, so that every save counts something new.
void CountAMinute(AppState& app);

// A program folder ready for saves: stat.dat written from the everyday
// figures in `app`, and history.csv holding `history`. Returns the path of
// history.csv.
std::string StartWithHistory(NativePlatform& native, AppState& app, const std::string& history);

// Writes the whole file.
void WriteWholeFile(PosixFileSystem& files, const std::string& path, const std::string& text);

// The text of a history.csv of ten years of days (3,650 rows) before
// 2026-12-07, ascending, with figures of a busy day.
std::string TenYearHistory();

// A busy month of programs: kProgramsADay programs every day, one row each.
inline constexpr int kProgramsADay = 30;
std::vector<ProgramRow> MonthOfPrograms(int year, int month, int days);

}  // namespace qm::bench
