// The maps of the screen: the cells a path enters, the files, and the
// save's segments through kills.
#include <gtest/gtest.h>

#include "app/save.h"
#include "app/screen_store.h"
#include "core/screen_map.h"
#include "core/stat_file.h"
#include "input/screen_ledger.h"
#include "tests/fakes.h"

namespace qm {
namespace {

// A main monitor of 1920 x 1080 and one of 1280 x 1024 to its left, whose
// width is no multiple of the cells' (cells 0 to 32399, then 32400 on).
const Arrangement kTwo = UsableArrangement({{0, 0, 1920, 1080, 527, 296}, {-1276, 0, 0, 1024}});

std::vector<uint32_t> Entered(const Arrangement& a, Point from, Point to) {
    std::vector<uint32_t> cells;
    ForEachCellEntered(a, from, to, [&](uint32_t c) { cells.push_back(c); });
    return cells;
}

uint32_t Cell(const Arrangement& a, int32_t x, int32_t y) { return static_cast<uint32_t>(a.CellAt({x, y})); }

TEST(ScreenMapTest, APathEntersEachCellItCrossesOnce) {
    // Across: from the cell of x 3 to that of x 100 (cells 0 to 12): the first is not entered.
    std::vector<uint32_t> across;
    for (uint32_t c = 1; c <= 12; ++c) across.push_back(c);
    EXPECT_EQ(Entered(kTwo, {3, 0}, {100, 0}), across);
    // Down, and back up the same way.
    EXPECT_EQ(Entered(kTwo, {5, 5}, {5, 20}), (std::vector<uint32_t>{240, 480}));
    EXPECT_EQ(Entered(kTwo, {5, 20}, {5, 5}), (std::vector<uint32_t>{240, 0}));
    // Within one cell: nothing entered.
    EXPECT_TRUE(Entered(kTwo, {1, 1}, {6, 6}).empty());
    // Diagonal through cell corners: across first, then down, a cell at a time.
    EXPECT_EQ(Entered(kTwo, {0, 0}, {16, 16}), (std::vector<uint32_t>{1, 241, 242, 482}));
    // A long diagonal enters as many cells as it crosses borders.
    EXPECT_EQ(Entered(kTwo, {0, 0}, {1919, 1079}).size(), 239u + 134u);
    // Drawn in two ticks, a path enters the same cells as in one.
    std::vector<uint32_t> two = Entered(kTwo, {10, 10}, {300, 77}), second = Entered(kTwo, {300, 77}, {700, 170});
    two.insert(two.end(), second.begin(), second.end());
    std::vector<uint32_t> one = Entered(kTwo, {10, 10}, {700, 170});
    std::sort(two.begin(), two.end());
    std::sort(one.begin(), one.end());
    EXPECT_EQ(std::adjacent_find(one.begin(), one.end()), one.end()) << "a cell twice";
    EXPECT_LE(one.size(), two.size());
    EXPECT_GE(one.size() + 1, two.size());
}

TEST(ScreenMapTest, CellsFollowEachMonitorsOwnCornerAndNoneLiesBetweenMonitors) {
    // The left monitor's cells start at its own corner, x -1276.
    EXPECT_EQ(Cell(kTwo, -1276, 0), 32400u);
    EXPECT_EQ(Cell(kTwo, -1269, 0), 32400u);
    EXPECT_EQ(Cell(kTwo, -1268, 0), 32401u);
    EXPECT_EQ(Cell(kTwo, -1, 1023), kTwo.CellCount() - 1);  // a cell 4 pixels wide at the edge
    EXPECT_EQ(kTwo.CellRect(kTwo.CellCount() - 1).Width(), 4);
    EXPECT_EQ(kTwo.CellAt({-5, 1030}), -1);  // below the smaller monitor
    // From the main monitor over to the left one, across the border at x 0: monitor by monitor.
    EXPECT_EQ(Entered(kTwo, {10, 500}, {-10, 500}),
              (std::vector<uint32_t>{Cell(kTwo, 0, 500), Cell(kTwo, -2, 500), Cell(kTwo, -10, 500)}));
    // From the left monitor's bottom to the main one's: the stretch beneath it is on no monitor.
    for (uint32_t c : Entered(kTwo, {-600, 1020}, {600, 1070})) EXPECT_LT(c, kTwo.CellCount());
    // A list the system gave that cannot be used is one tiny monitor, never none.
    EXPECT_EQ(UsableArrangement({{5, 5, 5, 9}}).CellCount(), 1u);
}

TEST(ScreenMapTest, FilesReadBackAsWrittenAndDamageShows) {
    ScreenFile file{false, 0x8f3a0c5d9e1b2a47ull, {}};
    ArrangementMap map{kTwo, {}, {123456789012ull, 7}};
    map.layers[kTravelLayer] = {{0, 3}, {1, 1}, {32400, 90000}, {kTwo.CellCount() - 1, 1}};
    map.layers[kMiddleLayer] = {{17, 2}};
    file.maps.push_back(map);
    file.maps.push_back({UsableArrangement({{0, 0, 3840, 2160}}), {}, {0}});
    const std::string bytes = ScreenFileBytes(file);
    const ScreenFile back = ParseScreenFile(bytes);
    EXPECT_EQ(back.stamp, file.stamp);
    EXPECT_EQ(back.maps, file.maps);
    EXPECT_EQ(back.maps[0].arrangement.monitors[0].widthMm, 527u);
    for (size_t at : {size_t{0}, size_t{9}, size_t{20}, bytes.size() / 2, bytes.size() - 1}) {
        std::string damaged = bytes;
        damaged[at] ^= 0x20;
        EXPECT_THROW(ParseScreenFile(damaged), ScreenFormatError) << at;
    }
    EXPECT_THROW(ParseScreenFile(bytes.substr(0, bytes.size() - 1)), ScreenFormatError);
    // A cell beyond its monitors is refused even with the check right.
    file.maps[0].layers[kLeftLayer] = {{kTwo.CellCount(), 1}};
    EXPECT_THROW(ParseScreenFile(ScreenFileBytes(file)), ScreenFormatError);

    std::string month;
    uint32_t segment = 9;
    bool written = false;
    EXPECT_TRUE(ReadScreenFileName("2026-12-screen.map", month, segment) && month == "2026-12" && segment == 0);
    EXPECT_TRUE(ReadScreenFileName("2026-12-screen-000042.map", month, segment) && segment == 42);
    EXPECT_FALSE(ReadScreenFileName("2026-12-screen-000042.new", month, segment));
    EXPECT_TRUE(ReadScreenFileName("2026-12-screen-000042.new", month, segment, &written) && written);
    EXPECT_FALSE(ReadScreenFileName("2026-13-screen.map", month, segment));
    EXPECT_EQ(ScreenSegmentName("2026-12", 42), "history\\2026-12-screen-000042.map");
}

TEST(ScreenLedgerTest, NotesGoToTheArrangementAndMonthTheyWereMadeIn) {
    ScreenLedger ledger;
    SetArrangement(ledger, kTwo);
    NoteTick(ledger, "2026-11-30", {0, 0}, {100, 0}, true, 1, 0, 0);
    NoteTick(ledger, "2026-11-30", {100, 0}, {100, 0}, false, 0, 0, 0);  // nothing: no work
    EXPECT_EQ(ledger.notes.size(), 2u);
    NoteTick(ledger, "2026-12-01", {100, 0}, {-40, 4}, true, 0, 2, 1);
    // The main monitor alone now: a click between where the left one was goes to the nearest cell.
    SetArrangement(ledger, UsableArrangement({{0, 0, 1920, 1080}}));
    NoteTick(ledger, "2026-12-01", {-40, 4}, {-40, 4}, false, 1, 0, 0);
    const auto maps = TakeUnsaved(ledger);
    ASSERT_EQ(maps.size(), 2u);
    const ArrangementMap& nov = maps.at("2026-11")[0];
    EXPECT_EQ(nov.layers[kTravelLayer].size(), 12u);
    EXPECT_EQ(nov.layers[kLeftLayer], (Layer{{12, 1}}));
    EXPECT_EQ(nov.travelPixels, (std::vector<uint64_t>{100, 0}));
    const ScreenMaps& dec = maps.at("2026-12");
    ASSERT_EQ(dec.size(), 2u);
    EXPECT_EQ(dec[0].layers[kRightLayer], (Layer{{Cell(kTwo, -40, 4), 2}}));
    EXPECT_EQ(dec[0].layers[kMiddleLayer], (Layer{{Cell(kTwo, -40, 4), 1}}));
    EXPECT_NEAR(double(dec[0].travelPixels[0] + dec[0].travelPixels[1]), 140.06, 1);
    EXPECT_NEAR(double(dec[0].travelPixels[1]), 40, 1);
    EXPECT_EQ(dec[1].layers[kLeftLayer], (Layer{{0, 1}}));
    EXPECT_TRUE(ledger.notes.empty() && ledger.unsaved.empty());
}

struct SavedScreen : test::FakePlatform {
    AppState app;
    SavedScreen() {
        files.files["C:\\Q\\stat.dat"] = StatFileText(StatRecord{0, 0, 0, 0, 0, 0, 0, "12-01-2026"}, false);
        LoadProgramStatistics(app, platform.save, platform.autorun);
        SetArrangement(app.screen, kTwo);
    }
    void Click() {
        ++app.stats.CurrentStat.MouseClicks;
        NoteTick(app.screen, "2026-12-07", {0, 0}, {0, 0}, false, 1, 0, 0);
    }
    uint32_t Clicks() {
        uint32_t n = 0;
        for (const ArrangementMap& map : ReadScreenMonth(platform.folder, "2026-12"))
            for (const CellCount& c : map.layers[kLeftLayer]) n += c.count;
        return n;
    }
};

TEST(ScreenStoreTest, ASaveWritesOnlyWhatItAddsAndFoldsTheMonthNowAndThen) {
    SavedScreen p;
    for (uint32_t save = 1; save <= kSegmentsBeforeBase + 3; ++save) {
        p.Click();
        SaveProgramStatistics(p.app, p.platform.save);
        if (save == kSegmentsBeforeBase - 1) {
            EXPECT_EQ(p.files.files.count("C:\\Q\\history\\2026-12-screen-000059.map"), 1u);
            EXPECT_EQ(p.files.files.count("C:\\Q\\history\\2026-12-screen.map"), 0u);
        }
    }
    // Folded at the 60th: the base holds 1 to 60, the segments after it follow.
    EXPECT_EQ(p.files.files.count("C:\\Q\\history\\2026-12-screen-000060.map"), 0u);
    EXPECT_EQ(p.files.files.count("C:\\Q\\history\\2026-12-screen-000061.map"), 1u);
    EXPECT_EQ(p.Clicks(), kSegmentsBeforeBase + 3);
    EXPECT_EQ(ParseScreenFile(p.files.files["C:\\Q\\history\\2026-12-screen.map"]).stamp, kSegmentsBeforeBase);
    // A segment the fold left behind (ended before it went) is not counted twice.
    p.files.files["C:\\Q\\history\\2026-12-screen-000005.map"] = p.files.files["C:\\Q\\history\\2026-12-screen-000061.map"];
    EXPECT_EQ(p.Clicks(), kSegmentsBeforeBase + 3);
    // A damaged base goes aside at the next run's first save, and the maps go on (folded again at once).
    p.files.files["C:\\Q\\history\\2026-12-screen.map"][30] ^= 1;
    LoadProgramStatistics(p.app, p.platform.save, p.platform.autorun);
    p.Click();
    SaveProgramStatistics(p.app, p.platform.save);
    EXPECT_NE(p.files.files["C:\\Q\\DbgFile.dat"].find("kept as history\\2026-12-screen-damaged-"), std::string::npos);
    EXPECT_EQ(p.Clicks(), 5u);  // segments 61 to 63, the new one and the one left behind
}

TEST(ScreenStoreTest, ASegmentCountsOnlyWhenItsStatDatLanded) {
    SavedScreen p;
    p.Click();
    SaveProgramStatistics(p.app, p.platform.save);
    // stat.dat cannot be written: the segment is there as .new, and goes at the next start.
    p.Click();
    p.files.failWrites.insert("C:\\Q\\stat.dat");
    EXPECT_THROW(SaveProgramStatistics(p.app, p.platform.save), FileError);
    EXPECT_EQ(p.files.files.count("C:\\Q\\history\\2026-12-screen-000002.new"), 1u);
    AppState again;
    LoadProgramStatistics(again, p.platform.save, p.platform.autorun);
    EXPECT_EQ(p.files.files.count("C:\\Q\\history\\2026-12-screen-000002.new"), 0u);
    EXPECT_EQ(p.Clicks(), 1u);
    // Killed after stat.dat and before the segment took its name: it lands at the start.
    p.files.failWrites.clear();
    p.files.killAtStep = 0;
    const std::string stat = p.files.files["C:\\Q\\stat.dat"];
    p.Click();
    SaveProgramStatistics(p.app, p.platform.save);  // both clicks now, as segment 2
    ASSERT_NE(p.files.files["C:\\Q\\stat.dat"], stat);
    p.files.files["C:\\Q\\history\\2026-12-screen-000002.new"] = p.files.files["C:\\Q\\history\\2026-12-screen-000002.map"];
    p.files.files.erase("C:\\Q\\history\\2026-12-screen-000002.map");
    LoadProgramStatistics(again, p.platform.save, p.platform.autorun);
    EXPECT_EQ(p.Clicks(), 3u);
}

}  // namespace
}  // namespace qm
