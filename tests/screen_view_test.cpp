// The Screen tab: the picture of a map (colours, rows at full size and
// scaled, where a point of the chart lands), and the tab over maps fed to
// it: its periods, the arrangement it picks, its texts and its commands.
#include <gtest/gtest.h>

#include "tests/fakes.h"
#include "ui/screen_view.h"

namespace qm::ui {
namespace {

// Two monitors side by side, the second smaller and lower, 20 x 12 pixels: 3 x 2 cells.
const Arrangement kTwo{{{0, 0, 32, 16, 0, 0}, {32, 4, 52, 16, 200, 120}}};

ArrangementMap Map(const Arrangement& a, Layer travel, Layer left = {}, std::vector<uint64_t> pixels = {}) {
    ArrangementMap m{a, {std::move(travel), std::move(left), {}, {}}, std::move(pixels)};
    m.travelPixels.resize(a.monitors.size());
    return m;
}

TEST(ScreenPicture, ColoursRiseWithTheCountAndRowsGiveEachPixelItsCell) {
    const ScreenCounts counts = CountsOf(Map(kTwo, {{0, 1}, {4, 100}, {13, 10}}, {{4, 5}}), ScreenWhat::Travel);
    EXPECT_EQ(counts.highest, 100u);
    EXPECT_EQ(counts.total, 111u);
    EXPECT_EQ(CountsOf(Map(kTwo, {{3, 100}}, {{3, 5}, {9, 2}}), ScreenWhat::Clicks).total, 7u);
    double lightness = Lightness(kQuietCell);
    for (uint32_t n : {1u, 3u, 10u, 40u, 100u}) {
        EXPECT_GT(Lightness(CellColour(n, 100)), lightness) << n;
        lightness = Lightness(CellColour(n, 100));
    }
    EXPECT_EQ(LegendMarks(100).size(), 3u);
    EXPECT_EQ(LegendMarks(100)[1].count, 10u);

    const ScreenPicture picture = DrawScreen(counts);
    ASSERT_EQ(picture.width, 52);
    ASSERT_EQ(picture.height, 16);
    std::vector<uint8_t> rows(52 * 3 * 16);
    picture.Rows(52, 16, 0, 16, rows.data(), 52 * 3);
    const auto at = [&](int x, int y) {
        const uint8_t* p = &rows[(y * 52 + x) * 3];
        return Rgb{p[2], p[1], p[0]};
    };
    // Cell 4 is the first of the second row of the first monitor: pixels 0-7, rows 8-15.
    EXPECT_EQ(at(0, 8), CellColour(100, 100));
    EXPECT_EQ(at(7, 15), CellColour(100, 100));
    EXPECT_EQ(at(8, 8), kQuietCell);
    EXPECT_EQ(at(0, 7), CellColour(1, 100));
    // Cell 13, the second monitor's third column of its second row: the edge's 4 x 4 pixels.
    EXPECT_EQ(at(48, 12), CellColour(10, 100));
    EXPECT_EQ(at(51, 15), CellColour(10, 100));
    EXPECT_EQ(at(40, 3), (Rgb{0, 0, 0}));  // above the second monitor: off the monitors
    // The first monitor's 4 x 2 cells in 2 x 1 pixels: each its busiest cell's colour.
    const std::vector<uint32_t>& cells = picture.monitors[0].pixels;
    EXPECT_EQ(FitMonitor(counts, 0, 2, 1).pixels, (std::vector{cells[4], cells[1]}));
    // A band from row 12 on, and the picture at half its size.
    std::vector<uint8_t> band(52 * 3 * 2), half(26 * 3 * 8);
    picture.Rows(52, 16, 12, 2, band.data(), 52 * 3);
    EXPECT_TRUE(std::equal(band.begin(), band.end(), rows.begin() + 12 * 52 * 3));
    picture.Rows(26, 8, 0, 8, half.data(), 26 * 3);
    EXPECT_EQ(half[(4 * 26 + 0) * 3], rows[(8 * 52 + 0) * 3]);
    EXPECT_EQ(FitPicture(52, 16, 1 << 20), (PictureSize{52, 16}));
    const PictureSize fitted = FitPicture(11520, 2160, kMostClipboardBytes);
    EXPECT_LE(uint64_t((fitted.width * 3 + 3) / 4 * 4) * fitted.height, kMostClipboardBytes);
    EXPECT_NEAR(double(fitted.width) / fitted.height, 11520.0 / 2160, 0.01);
}

TEST(ScreenPicture, APointOfTheChartIsTheCellDrawnThere) {
    // 52 x 16 pixels into 104 x 100: twice the size, centred down the area.
    const ScreenPaint paint = LayOutScreen(kTwo, 104, 100, 1);
    EXPECT_EQ(paint.monitors[0], (PixelRect{1, 35, 63, 65}));
    const ScreenSpot spot = SpotAt(paint, kTwo, 64 + 2 * 18, 34 + 2 * 10);  // pixel 18, 6 of the second
    EXPECT_EQ(spot.monitor, 1);
    EXPECT_EQ(spot.cell, 8 + 2);
    EXPECT_EQ(spot.at, (Point{16, 0}));
    EXPECT_EQ(SpotAt(paint, kTwo, 80, 30).monitor, -1);
}

struct FakeScreenPort : ScreenViewPort {
    std::string detail, told, asked, answer = "C:\\shot.png", saved;
    std::vector<std::string> periods;
    int chosen = -1, redraws = 0;
    PictureSize copied;
    void RedrawScreen() override { ++redraws; }
    void SetScreenDetailText(const std::string& text) override { detail = text; }
    void SelectScreenWhat(int) override {}
    void SetScreenPeriods(const std::vector<std::string>& names, int c) override { periods = names, chosen = c; }
    std::string AskPictureFile(const std::string& suggested) override { return asked = suggested, answer; }
    std::string SavePicture(const std::string& path, const ScreenPicture&) override { return saved = path, ""; }
    bool SetClipboardPicture(const ScreenPicture&, PictureSize size) override { return copied = size, true; }
    void Tell(const std::string& text) override { told += text; }
};

struct FakeSource : ScreenSource {
    std::map<std::string, ScreenMaps> months;
    std::set<std::string> damaged;
    int reads = 0;
    std::map<std::string, std::string> Months() override {
        std::map<std::string, std::string> listed;  // a month's files change with its number of maps
        for (const auto& [month, maps] : months) listed[month] = std::to_string(maps.size());
        return listed;
    }
    ScreenMaps Read(const std::string& month) override {
        ++reads;
        if (damaged.count(month)) throw ScreenFormatError("its check does not match");
        return months.at(month);
    }
};

struct ScreenViewTest : ::testing::Test, test::FakePlatform {
    AppState app;
    test::FakeDateFormat dates;
    FakeScreenPort port;
    FakeSource source;
    ScreenView view{{app, platform.folder, calendar, numbers, dates}, port, &source};
    const Arrangement one{{{0, 0, 3500, 16, 0, 0}}};

    ScreenViewTest() {
        app.screen.arrangement = kTwo;
        source.months["2026-12"] = {Map(one, {{0, 900}}), Map(kTwo, {{0, 2}, {7, 4}}, {{7, 1}}, {3500, 1000})};
        source.months["2026-11"] = {Map(one, {{1, 9}})};
        source.months["2026-09"] = {Map(kTwo, {{7, 30}})};
        app.screenStore.owed["2026-12"] = {Map(kTwo, {{7, 10}})};
        app.screen.unsaved["2026-12"] = {Map(kTwo, {{8, 1}})};
        view.Form_Load();
        view.SetArea(104 + 16, 100 + 16 + 20, 8, 20);
    }
};

TEST_F(ScreenViewTest, PeriodsPickTheCurrentArrangementAndSayWhatTheyLeaveOut) {
    EXPECT_EQ(port.periods, (std::vector<std::string>{"This month", "Last month", "2026-09", "All time"}));
    EXPECT_EQ(port.chosen, 0);
    // This month: files, owed and unsaved of the monitors as they are, though another has more counts.
    EXPECT_EQ(view.Counts().arrangement.monitors, kTwo.monitors);
    EXPECT_EQ(view.Counts().cells[7], 14u);
    EXPECT_EQ(port.detail,
              "This month also has maps of another arrangement of monitors. This month: 17 passes; "
              "Monitor 1: 1.0 m (size not known: 3500 pixels a meter); Monitor 2: 10.0 m");
    view.cboScreenWhat_Click(static_cast<int>(ScreenWhat::Left));
    EXPECT_NE(port.detail.find("This month: 1 left click;"), std::string::npos) << port.detail;
    view.cboScreenWhat_Click(static_cast<int>(ScreenWhat::Travel));
    view.cboScreenPeriod_Click(1);  // Last month has only the other arrangement: that one
    EXPECT_EQ(view.Counts().arrangement.monitors, one.monitors);
    EXPECT_EQ(port.detail.rfind("Last month: 9 passes; Monitor 1: 0.0 m", 0), 0u) << port.detail;
    view.cboScreenPeriod_Click(3);  // All time: the current arrangement's months alone
    EXPECT_EQ(view.Counts().cells[7], 44u);
    EXPECT_EQ(view.Counts().total, 47u);
    EXPECT_EQ(port.detail.rfind("Maps of other arrangements of monitors are left out. All time: 47 passes", 0), 0u);

    // A save lands; a damaged file is said, the rest shown; nothing read again without news.
    const int reads = source.reads;
    view.tmrFollow_Timer();
    EXPECT_EQ(source.reads, reads);
    source.damaged.insert("2026-09");
    source.months["2026-09"].push_back(Map(one, {}));  // its files changed
    view.tmrFollow_Timer();
    EXPECT_EQ(view.Counts().total, 17u);
    EXPECT_NE(view.Notice().find("The maps of 2026-09 are damaged (its check does not match)."), std::string::npos);
}

TEST_F(ScreenViewTest, PointingSaysTheCellAndSaveAndCopyTakeThePicture) {
    // The second monitor lies at 74-110, 52-72 of the chart; its first cell has the run's pass.
    view.PointAt(79, 57);
    EXPECT_EQ(port.detail, "Monitor 2 (20 \xC3\x97 12), at 0, 0: 1 pass; the cursor went 10.0 m on it, measured from "
                           "the monitor's size");
    view.PointAt(58, 47);  // pixel 25, 2 of the first monitor, at 10-70, 44-72
    EXPECT_EQ(port.detail, "Monitor 1 (32 \xC3\x97 16), at 24, 0: 0 passes; the cursor went 1.0 m on it (size not "
                           "known: 3500 pixels a meter)");
    view.PointAt(0, 0);
    EXPECT_EQ(port.detail.rfind("This month also has", 0), 0u);

    view.cmdScreenSave_Click();
    EXPECT_EQ(port.asked, "Quillmark screen 2026-12.png");
    EXPECT_EQ(port.saved, "C:\\shot.png");
    view.cboScreenWhat_Click(static_cast<int>(ScreenWhat::Clicks));
    port.answer = port.saved = "";  // cancelled
    view.cmdScreenSave_Click();
    EXPECT_EQ(port.asked, "Quillmark screen 2026-12 clicks.png");
    EXPECT_EQ(port.saved, "");
    view.cmdScreenCopy_Click();
    EXPECT_EQ(port.copied, (PictureSize{52, 16}));
    EXPECT_EQ(port.told, "");
}

}  // namespace
}  // namespace qm::ui
