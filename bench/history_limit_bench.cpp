// The most a save and a reread of the History window can cost: history.csv
// just under the largest size the program reads (beyond it the file is set
// aside unread), made of the shortest rows there are, which is the most rows
// a file of that size can hold. Both run on the sampler's thread, so each
// must fit beside the 60 ms tick: the target is under 30 ms of CPU time.
//   history_save_limit_us  one save, as history_save_us, through real files
//   history_view_limit_us  the window's once-a-second look at a history.csv
//                          that a save has changed: read, checked, charted
#include <string>

#include "app/save.h"
#include "bench/bench_support.h"
#include "core/history.h"
#include "core/stat_file.h"
#include "ui/history_window.h"

namespace qm::bench {
namespace {

// Rows of zeros ("1900-01-01,0,0,0,0,0,0,0"), a day each, for as long as
// the text stays within `bytes`.
std::string ShortestRowsHistory(uint64_t bytes) {
    std::string text = std::string(kHistoryHeader) + "\r\n";
    const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    LocalDate day{1900, 1, 1};
    for (;;) {
        const std::string row = HistoryDate(day) + ",0,0,0,0,0,0,0\r\n";
        if (text.size() + row.size() > bytes) return text;
        text += row;
        const bool leap = day.year % 4 == 0 && (day.year % 100 != 0 || day.year % 400 == 0);
        if (++day.day > (day.month == 2 && leap ? 29 : kDays[day.month - 1])) {
            day.day = 1;
            if (++day.month > 12) day.month = 1, ++day.year;
        }
    }
}

void BM_SaveAtTheLimit(benchmark::State& state) {
    NativePlatform native;
    AppState app;
    // Room for the row of today that the first save adds.
    const std::string history = StartWithHistory(native, app, ShortestRowsHistory(kLargestHistoryBytes - 100));
    const size_t rows = ParseHistory(native.files.ReadAll(history)).size();
    for (auto _ : state) {
        app.stats.CurrentStat.KeysPressed += 120;
        app.stats.CurrentStat.PassedSeconds += 60;
        SaveProgramStatistics(app, native.platform.save);
    }
    if (ParseHistory(native.files.ReadAll(history)).size() != rows + 1) state.SkipWithError("the save lost rows");
    ReportAs(state, "history_save_limit_us");
}
BENCHMARK(BM_SaveAtTheLimit)->Unit(benchmark::kMicrosecond);

struct NoWindow : ui::HistoryWindowView {
    void RedrawChart() override {}
    void SetDetailText(const std::string&) override {}
    void SelectChoices(int, int) override {}
    bool SetClipboardText(const std::string&) override { return true; }
    void ShellOpen(const std::string&) override {}
    void Tell(const std::string&) override {}
    void ShowTab(int) override {}
    void RedrawHoursChart() override {}
    void SetHoursDetailText(const std::string&) override {}
    void SelectHoursChoices(int, int) override {}
    void RedrawKeys() override {}
    void SetKeysDetailText(const std::string&) override {}
    void SelectKeysPeriod(int) override {}
    void RedrawPrograms() override {}
    void SetProgramsDetailText(const std::string&) override {}
    void SelectProgramsPeriod(int) override {}
    void SelectProgramsFigure(int) override {}
    void RedrawScreen() override {}
    void SetScreenDetailText(const std::string&) override {}
    void SelectScreenWhat(int) override {}
    void SetScreenPeriods(const std::vector<std::string>&, int) override {}
    std::string AskPictureFile(const std::string&) override { return ""; }
    std::string SavePicture(const std::string&, const ui::ScreenPicture&) override { return ""; }
    bool SetClipboardPicture(const ui::ScreenPicture&, ui::PictureSize) override { return true; }
};

void BM_RereadAtTheLimit(benchmark::State& state) {
    NativePlatform native;
    AppState app;
    const test::FakeDateFormat dates;
    NoWindow view;
    ui::HistoryWindow window({app, native.platform.folder, native.calendar, native.numbers, dates}, view);
    const std::string history = native.platform.folder.History();
    // Two files of the same length that differ in a row near the start.
    std::string texts[2] = {ShortestRowsHistory(kLargestHistoryBytes), {}};
    texts[1] = texts[0];
    texts[1][std::string(kHistoryHeader).size() + 13] = '1';
    WriteWholeFile(native.files, history, texts[0]);
    window.Form_Load();
    window.cboPeriod_Click(2);  // all the years: the most bars
    int64_t keys = 0, turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteWholeFile(native.files, history, texts[++turn % 2]);
        state.ResumeTiming();
        window.tmrFollow_Timer();
        keys += window.Chart().bars.front().sums.KeysPressed;
    }
    if (!window.Notice().empty() || keys != (state.iterations() + 1) / 2) state.SkipWithError("the window missed a save");
    ReportAs(state, "history_view_limit_us");
}
BENCHMARK(BM_RereadAtTheLimit)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm::bench
