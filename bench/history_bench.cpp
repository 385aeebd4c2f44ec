// The cost of a save once history.csv holds ten years of days (3,650 rows):
// stat.dat written, history.csv read, checked, its last row added to and the
// whole file written again. The target is well under 5 ms a save.
//
// Two file layers: the in-memory one of the unit tests (the program's own
// work: parsing, adding, formatting) and, on POSIX systems, real files in a
// temporary folder with the same write, flush to disk and rename steps as
// the Windows program (adds what the disk costs on this machine), beside a
// save of stat.dat alone. Build and run by hand, from the source folder:
//   g++ -std=c++20 -O2 -I. bench/history_bench.cpp tests/fakes.cpp app/app_state.cpp app/autorun.cpp
//       app/debug_log.cpp core/*.cpp input/*.cpp -lbenchmark -lpthread -o /tmp/qm_history_bench
//   /tmp/qm_history_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/app_state.h"
#include "core/history.h"
#include "core/stat_file.h"
#include "tests/fakes.h"

#if defined(__unix__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm {
namespace {

// Ten years of days before 2026-12-07, ascending, with figures of a busy day.
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

// Every save counts something new, as the minute's save of a busy user does.
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

void BM_SaveWithTenYearHistoryInMemory(benchmark::State& state) {
    test::MemoryFileSystem files;
    test::FakeCalendar calendar;
    test::ScriptedClock clock;
    test::FakeRegistry registry;
    test::FakeNumberFormat numbers;
    Platform platform{files, calendar, clock, registry, numbers, "C:\\Q\\quillmark.exe"};
    AppState app;
    files.files[HistoryFilePath(platform)] = TenYearHistory();
    for (auto _ : state) {
        CountAMinute(app);
        SaveProgramStatistics(app, platform);
    }
    if (ParseHistory(files.files[HistoryFilePath(platform)]).size() != 3651) state.SkipWithError("history lost rows");
}
BENCHMARK(BM_SaveWithTenYearHistoryInMemory)->Unit(benchmark::kMillisecond);

#if defined(__unix__)
class PosixFile : public WritableFile {
public:
    explicit PosixFile(const std::string& path) : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)) {
        if (fd_ < 0) throw FileError("Cannot create " + path);
    }
    ~PosixFile() override { if (fd_ >= 0) ::close(fd_); }
    void Write(std::string_view bytes) override {
        if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) throw FileError("write");
    }
    void Flush() override { if (::fsync(fd_) != 0) throw FileError("fsync"); }
    void Close() override { ::close(fd_); fd_ = -1; }

private:
    int fd_;
};

// Program paths ("C:\Q\name") map to files in one POSIX folder.
class PosixFileSystem : public FileSystem {
public:
    explicit PosixFileSystem(std::string folder) : folder_(std::move(folder)) {}
    std::string Real(const std::string& path) const { return folder_ + "/" + path.substr(path.rfind('\\') + 1); }
    bool Exists(const std::string& path) override {
        struct stat s;
        return ::stat(Real(path).c_str(), &s) == 0;
    }
    std::string ReadAll(const std::string& path) override {
        std::ifstream in(Real(path), std::ios::binary);
        if (!in) throw FileError("Cannot open " + path);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::unique_ptr<WritableFile> Create(const std::string& path) override {
        return std::make_unique<PosixFile>(Real(path));
    }
    void Replace(const std::string& from, const std::string& to) override {
        if (std::rename(Real(from).c_str(), Real(to).c_str()) != 0) throw FileError("Cannot replace " + to);
    }
    void Remove(const std::string& path) noexcept override { std::remove(Real(path).c_str()); }
    void Append(const std::string& path, std::string_view bytes) override {
        std::ofstream(Real(path), std::ios::binary | std::ios::app) << bytes;
    }

private:
    std::string folder_;
};

void BM_SaveWithTenYearHistoryOnDisk(benchmark::State& state) {
    char folder[] = "/tmp/qm-history-bench-XXXXXX";
    if (!::mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    PosixFileSystem files(folder);
    test::FakeCalendar calendar;
    test::ScriptedClock clock;
    test::FakeRegistry registry;
    test::FakeNumberFormat numbers;
    Platform platform{files, calendar, clock, registry, numbers, "C:\\Q\\quillmark.exe"};
    AppState app;
    {
        auto file = files.Create(HistoryFilePath(platform));
        file->Write(TenYearHistory());
        file->Close();
    }
    for (auto _ : state) {
        CountAMinute(app);
        SaveProgramStatistics(app, platform);
    }
    if (!app.history.owed.empty()) state.SkipWithError("history.csv was not written");
    for (const char* name : {"stat.dat", "history.csv", "DbgFile.dat"}) std::remove((std::string(folder) + "/" + name).c_str());
    ::rmdir(folder);
}
BENCHMARK(BM_SaveWithTenYearHistoryOnDisk)->Unit(benchmark::kMillisecond);

// For comparison: the same save on disk without any history, stat.dat alone.
// Most of a save's wall time on disk is the flush to disk, once per file.
void BM_SaveStatDatAloneOnDisk(benchmark::State& state) {
    char folder[] = "/tmp/qm-history-bench-XXXXXX";
    if (!::mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    PosixFileSystem files(folder);
    Statistics stats;
    AppState app;
    for (auto _ : state) {
        CountAMinute(app);
        stats.CurrentStat = app.stats.CurrentStat;
        SaveStatistics(stats, files, "C:\\Q\\stat.dat");
    }
    std::remove((std::string(folder) + "/stat.dat").c_str());
    ::rmdir(folder);
}
BENCHMARK(BM_SaveStatDatAloneOnDisk)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace qm

BENCHMARK_MAIN();
