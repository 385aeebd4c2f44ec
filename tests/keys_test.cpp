// The month files of keys: what the key scan counts, by code and day, through
// the save; and the file's reader and writer.
#include "core/keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "app/save.h"
#include "core/checked.h"
#include "core/stat_file.h"
#include "input/sampler.h"
#include "tests/fakes.h"
#include "ui/keys_view.h"

namespace qm {
namespace {

TEST(KeysFileTest, NamesQuotedAsCsvWantsAndOnlyRowsOfItsMonthInOrderRead) {
    const std::vector<KeyRow> rows = {{"2026-12-01", 1, 7}, {"2026-12-01", 0xBC, 2}, {"2026-12-01", 0xDE, 1},
                                      {"2026-12-02", 32, 40}};
    const std::string text = KeysText(rows);
    EXPECT_EQ(text, std::string(kKeysHeader) + "\r\n2026-12-01,1,Left button,7\r\n2026-12-01,188,\"OEM Comma (, <)\",2\r\n"
                                               "2026-12-01,222,\"OEM 7 (' \"\")\",1\r\n2026-12-02,32,Space,40\r\n");
    EXPECT_EQ(ParseKeys(text, "2026-12"), rows);
    EXPECT_EQ(KeysFileName("2026-12"), "history\\2026-12-keys.csv");

    const std::string head = std::string(kKeysHeader) + "\r\n";
    for (const char* bad : {"2026-11-30,65,A,1", "2026-12-01,0,Key 0x00,1", "2026-12-01,256,x,1", "2026-12-01,065,A,1",
                            "2026-12-01,65,A,-1", "2026-12-01,65,A,B,1", "2026-12-01,65,\"A,1", "2026-12-01,65,1"})
        EXPECT_THROW(ParseKeys(head + bad + "\r\n", "2026-12"), HistoryFormatError) << bad;
    EXPECT_THROW(ParseKeys(head + "2026-12-01,66,B,1\r\n2026-12-01,65,A,1\r\n", "2026-12"), HistoryFormatError);
    EXPECT_THROW(ParseKeys(head + "2026-12-01,65,A,1\r\n2026-12-01,65,A,1\r\n", "2026-12"), HistoryFormatError);

    // Added presses go into their rows, new rows in order, other rows as they were.
    OwedRows added;
    added[{"2026-12-01", kWholeDay, 65}].KeysPressed = 3;
    added[{"2026-12-02", kWholeDay, 32}].KeysPressed = 2;
    const std::string sum = KeysWithAdded(text, "2026-12", added);
    EXPECT_EQ(ParseKeys(sum, "2026-12"), (std::vector<KeyRow>{{"2026-12-01", 1, 7}, {"2026-12-01", 65, 3},
                                                              {"2026-12-01", 0xBC, 2}, {"2026-12-01", 0xDE, 1},
                                                              {"2026-12-02", 32, 42}}));
}

struct KeyScan : InputDevices {
    std::vector<int> pressed;  // codes pressed since the last scan
    uint16_t GetAsyncKeyState(int code) override {
        const auto it = std::find(pressed.begin(), pressed.end(), code);
        if (it == pressed.end()) return 0;
        pressed.erase(it);
        return 1;
    }
    std::optional<Point> GetCursorPos() override { return Point{0, 0}; }
    std::optional<uint32_t> LastInputMs() override { return std::nullopt; }
    uint32_t NowMs() override { return 0; }
};

struct KeysSaveTest : test::FakePlatform, testing::Test {
    AppState app;
    KeyScan scan;
    KeysSaveTest() {
        files.files["C:\\Q\\stat.dat"] = StatFileText(StatRecord{0, 0, 0, 0, 0, 0, 0, "12-01-2026"}, false);
        LoadProgramStatistics(app, platform.save, platform.autorun);
    }
    void Tick(std::vector<int> codes) {
        FollowHour(app.hours, app.stats, calendar.Now());
        scan.pressed = std::move(codes);
        SamplerTick(app.sampler, app.stats, scan, clock, &app.hours.keys);
    }
    std::vector<KeyRow> Keys(const std::string& month) {
        return ParseKeys(files.files["C:\\Q\\" + KeysFileName(month)], month);
    }
};

TEST_F(KeysSaveTest, EachPressTheFiguresTakeIsItsCodesUnderTheDayItWasCountedOn) {
    calendar.today = {2026, 11, 30}, calendar.hour = 23;
    Tick({'A', 'A' + 1, 1, 0xA0, 0x10});
    Tick({'A'});
    calendar.today = {2026, 12, 1}, calendar.hour = 0;  // midnight, and a new month, before the save
    Tick({' ', 2});
    SaveProgramStatistics(app, platform.save);
    EXPECT_EQ(Keys("2026-11"), (std::vector<KeyRow>{{"2026-11-30", 1, 1}, {"2026-11-30", 0x10, 1},
                                                    {"2026-11-30", 'A', 2}, {"2026-11-30", 'B', 1},
                                                    {"2026-11-30", 0xA0, 1}}));
    EXPECT_EQ(Keys("2026-12"), (std::vector<KeyRow>{{"2026-12-01", 2, 1}, {"2026-12-01", ' ', 1}}));

    // A press that KeysPressed cannot take is no code's either.
    app.stats.CurrentStat.KeysPressed = INT32_MAX;
    EXPECT_THROW(Tick({'Z'}), OverflowError);
    EXPECT_EQ(app.hours.keys['Z'], 0);
}

struct FakeKeysPort : ui::KeysViewPort {
    int redraws = 0;
    std::string detail, clipboard;
    void RedrawKeys() override { ++redraws; }
    void SetKeysDetailText(const std::string& text) override { detail = text; }
    void SelectKeysPeriod(int) override {}
    bool SetClipboardText(const std::string& text) override { clipboard = text; return true; }
    void Tell(const std::string&) override {}
};

TEST_F(KeysSaveTest, TheKeysTabSumsThePeriodsFilesWithWhatTheyAreOwedAndRereadsOnlyChangedOnes) {
    files.files["C:\\Q\\history\\2026-12-keys.csv"] = KeysText({{"2026-12-01", 'A', 5}, {"2026-12-07", 'A', 2}});
    files.files["C:\\Q\\history\\2025-03-keys.csv"] = KeysText({{"2025-03-02", ' ', 9}});
    Tick({'A', 2});  // today, not saved yet
    test::FakeDateFormat dates;
    FakeKeysPort port;
    ui::KeysView view({app, platform.folder, calendar, numbers, dates}, port);
    view.Form_Load();  // All time
    EXPECT_EQ(view.Chart().totals, (std::map<int, int64_t>{{2, 1}, {' ', 9}, {'A', 8}}));
    const size_t reads = files.readWhole.size();
    const int redraws = port.redraws;
    view.tmrFollow_Timer();
    EXPECT_EQ(files.readWhole.size(), reads);
    EXPECT_EQ(port.redraws, redraws);

    view.cboPeriod_Click(static_cast<int>(ui::KeysPeriod::Today));
    EXPECT_EQ(view.Chart().totals, (std::map<int, int64_t>{{2, 1}, {'A', 3}}));
    files.files["C:\\Q\\history\\2026-12-keys.csv"] = "date;code\r\n";
    files.written["C:\\Q\\history\\2026-12-keys.csv"] = ++files.writeClock;
    view.tmrFollow_Timer();
    EXPECT_NE(view.Notice().find("2026-12-keys.csv is damaged"), std::string::npos) << view.Notice();
    EXPECT_EQ(view.Chart().totals, (std::map<int, int64_t>{{2, 1}, {'A', 1}}));  // what the run counted stays
    view.cmdCopy_Click();
    EXPECT_EQ(port.clipboard, ui::KeysClipboardText(view.Chart()));
}

}  // namespace
}  // namespace qm
