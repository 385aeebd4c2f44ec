// The Keys tab: the drawing of both keyboards, the names and colours of
// keys, where a point and the arrow keys land, and the chart's texts over
// layouts that send other codes or other letters from the same places.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/fakes.h"
#include "ui/keys_chart.h"

namespace qm::ui {
namespace {

// French: A and Q, Z and W change places; M sits right of L.
struct FrenchLayout : KeyboardLayout {
    int CodeAt(int scan) const override {
        switch (scan) {
            case 0x10: return 'A';
            case 0x1E: return 'Q';
            case 0x11: return 'Z';
            case 0x2C: return 'W';
            case 0x27: return 'M';
            case 0x32: return 0xBC;
            case 0x29: return 0xDE;
        }
        return 0;  // what the fake does not know keeps the drawing's code
    }
    std::string CapLabel(int code) const override {
        return code == 0xDE ? "\xC2\xB2" : code == 0xBC ? "," : code >= 'A' && code <= 'Z' ? std::string(1, char(code)) : "";
    }
    bool HasIsoKey() const override { return true; }
};

struct RussianLayout : KeyboardLayout {
    int CodeAt(int) const override { return 0; }
    std::string CapLabel(int code) const override {
        return code == 'F' ? "\xD0\x90" : code == 'Q' ? "\xD0\x99" : "";
    }
    bool HasIsoKey() const override { return false; }
};

int IndexOf(const std::vector<Cap>& caps, int code) {
    for (size_t i = 0; i < caps.size(); ++i)
        if (caps[i].code == code) return static_cast<int>(i);
    return -1;
}

TEST(KeyboardMap, BothDrawingsPlaceEveryCodeOnceWithoutOverlapsAndOnlyIsoHasOem102) {
    for (bool iso : {false, true}) {
        const std::vector<Cap>& caps = KeyboardCaps(iso);
        for (size_t i = 0; i < caps.size(); ++i) {
            const Cap& a = caps[i];
            EXPECT_LE(a.x + a.w, kDrawingWidth);
            EXPECT_LE(a.y + a.h, kDrawingHeight);
            for (size_t j = i + 1; j < caps.size(); ++j) {
                const Cap& b = caps[j];
                EXPECT_FALSE(a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h)
                    << KeyName(a.code) << " overlaps " << KeyName(b.code) << (iso ? " (ISO)" : " (ANSI)");
                EXPECT_TRUE(a.code != b.code || a.sharesCode || b.sharesCode) << KeyName(a.code);
            }
        }
        EXPECT_EQ(IndexOf(caps, 0xE2) >= 0, iso);
        EXPECT_EQ(caps[static_cast<size_t>(IndexOf(caps, 0xA0))].w, iso ? 5 : 9);
        const std::vector<int> unplaced = UnplacedCodes(iso);
        for (int code : {0x10, 0x11, 0x12, 0x7C, 0xAF}) EXPECT_NE(std::count(unplaced.begin(), unplaced.end(), code), 0);
        for (int code : {0x01, 0x02, 0x04, 0x41, 0x0D, 0x60}) EXPECT_EQ(std::count(unplaced.begin(), unplaced.end(), code), 0);
    }
    EXPECT_EQ(KeyName(0xA0), "Left Shift");
    EXPECT_EQ(KeyName(0x10), "Shift");
    EXPECT_EQ(KeyName(0x6A), "Numpad *");
    EXPECT_EQ(KeyName(0x87), "F24");
    EXPECT_EQ(KeyName(0xE9), "Key 0xE9");
    EXPECT_EQ(KeyName(0x05), "Back button (X1)");
}

TEST(KeyboardMap, ShortCountsKeepToFiveCharactersAndRoundHalfUp) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0"},          {999, "999"},       {1000, "1.0k"},  {1049, "1.0k"},   {1050, "1.1k"},
        {9999, "10.0k"},   {99949, "99.9k"},   {99950, "100k"}, {999499, "999k"}, {999500, "1.0M"},
        {4500000, "4.5M"}, {1234567890, "1.2G"}, {INT64_MAX, "9.2E"}};
    for (const auto& [n, text] : cases) EXPECT_EQ(ShortCount(n), text) << n;
}

TEST(KeyboardMap, HeatColoursDarkenWithCountOnALogScaleAndStayOffTheNeutralGrey) {
    const int64_t max = 1000000;
    EXPECT_EQ(HeatColour(0, max), kNeutralCap);
    double previous = Lightness(kNeutralCap);
    for (int64_t n : {1, 10, 100, 1000, 10000, 100000, 1000000}) {
        const double l = Lightness(HeatColour(n, max));
        EXPECT_LT(l, previous) << n;
        previous = l;
    }
    // Even steps of lightness for even steps of the logarithm (the palette's
    // stops are close to even in lightness).
    const double d1 = Lightness(HeatColour(10, max)) - Lightness(HeatColour(100, max));
    const double d2 = Lightness(HeatColour(100, max)) - Lightness(HeatColour(1000, max));
    EXPECT_NEAR(d1, d2, 0.25 * d1);
    for (int64_t n : {max, max / 1000}) EXPECT_NE(HeatColour(n, max), kNeutralCap);
    EXPECT_EQ(TextColour(kNeutralCap), (Rgb{0, 0, 0}));
    EXPECT_EQ(TextColour(HeatColour(max, max)), (Rgb{255, 255, 255}));
}

TEST(KeyboardMap, PointsHitCapsButNotTheGapsAndArrowsMoveToTheNeighbour) {
    const std::vector<Cap>& caps = KeyboardCaps(false);
    const KeyboardPaint paint = LayOutKeyboard(false, 920 + 40, 320);  // 10 pixels a quarter key, 20 to spare each side
    const int q = IndexOf(caps, 'Q'), w = IndexOf(caps, 'W');
    const PixelRect& rq = paint.caps[static_cast<size_t>(q)];
    EXPECT_EQ(rq, (PixelRect{20 + 60, 100, 20 + 100 - 2, 140 - 2}));
    EXPECT_EQ(CapAt(paint, rq.left, rq.top), q);
    EXPECT_EQ(CapAt(paint, rq.right - 1, rq.bottom - 1), q);
    EXPECT_EQ(CapAt(paint, rq.right, rq.top), -1);  // the gap before W
    EXPECT_EQ(CapAt(paint, rq.right + 2, rq.top), w);
    EXPECT_EQ(CapAt(paint, 10, 100), -1);
    EXPECT_EQ(LayOutKeyboard(false, 90, 30).scale, 0);

    EXPECT_EQ(NextCap(caps, q, Direction::Right), w);
    EXPECT_EQ(NextCap(caps, q, Direction::Down), IndexOf(caps, 'A'));
    EXPECT_EQ(NextCap(caps, q, Direction::Up), IndexOf(caps, '1'));
    EXPECT_EQ(NextCap(caps, IndexOf(caps, 0x08), Direction::Right), IndexOf(caps, 0x2D));
    EXPECT_EQ(NextCap(caps, IndexOf(caps, 0x1B), Direction::Left), IndexOf(caps, 0x1B));
    EXPECT_EQ(NextCap(caps, IndexOf(caps, 0x06), Direction::Down), IndexOf(caps, 0x06));
    EXPECT_EQ(NextCap(caps, -1, Direction::Down), 0);
}

TEST(KeysChart, CountsFollowTheLayoutsPlacesAndLettersAndTheTextsTellShareAndRank) {
    const std::map<int, int64_t> totals = {{0x01, 300}, {0x02, 100}, {0x10, 50}, {0xA0, 50}, {'A', 40},
                                           {'Q', 7},    {0x20, 90},  {0x0D, 10}, {0xB3, 3},  {0x7C, 3}};
    const KeysChart fr = BuildKeysChart(totals, KeysPeriod::LastThirtyDays, FrenchLayout());
    const std::vector<Cap>& iso = KeyboardCaps(true);
    ASSERT_TRUE(fr.iso);
    const CapFigure& atQ = fr.caps[static_cast<size_t>(IndexOf(iso, 'Q'))];  // the US Q's place
    EXPECT_EQ(atQ.code, 'A');
    EXPECT_EQ(atQ.label, "A");
    EXPECT_EQ(atQ.count, 40);
    EXPECT_EQ(fr.caps[static_cast<size_t>(IndexOf(iso, 0xC0))].label, "\xC2\xB2");
    EXPECT_EQ(fr.caps[static_cast<size_t>(IndexOf(iso, 0x0D))].count, 10);
    EXPECT_EQ(fr.maxKeys, 90);
    EXPECT_EQ(fr.maxMouse, 300);
    EXPECT_EQ(fr.keyPresses, 253);
    EXPECT_EQ(fr.clicks, 400);
    ASSERT_EQ(fr.unplaced.size(), 3u);
    EXPECT_EQ(fr.unplaced[0].code, 0x10);
    EXPECT_EQ(fr.unplaced[1].name, "F13");  // equal counts by code
    EXPECT_EQ(fr.unplaced[2].name, "Media Play/Pause");

    test::FakeNumberFormat numbers;
    EXPECT_EQ(KeysDetailText(fr, 'A', numbers), "A: 40 presses, 15.8% of key presses, rank 4 of 8");
    EXPECT_EQ(KeysDetailText(fr, 0x10, numbers), "Shift: 50 presses, 19.8% of key presses, rank 2 of 8");
    EXPECT_EQ(KeysDetailText(fr, 0x01, numbers), "Left button: 300 clicks, 75.0% of clicks");
    EXPECT_EQ(KeysDetailText(fr, 'Z', numbers), "Z: no presses");
    EXPECT_EQ(KeysDetailText(fr, 0x0D, numbers).rfind("Enter (main and keypad): 10 presses", 0), 0u);
    EXPECT_EQ(KeysDetailText(fr, -1, numbers), "Last 30 days: 253 key presses on 8 keys; most pressed: Space with 90");
    EXPECT_EQ(KeysDetailText(BuildKeysChart({{1, 5}}, KeysPeriod::Today, FrenchLayout()), -1, numbers),
              "Today: no key presses");
    const std::string copied = KeysClipboardText(fr);
    EXPECT_EQ(copied.rfind("Key code\tKey\tPresses\r\n1\tLeft button\t300\r\n2\tRight button\t100\r\n13\tEnter\t10\r\n16\tShift\t50\r\n", 0), 0u) << copied;

    const KeysChart ru = BuildKeysChart(totals, KeysPeriod::AllTime, RussianLayout());
    EXPECT_FALSE(ru.iso);
    EXPECT_EQ(ru.caps[static_cast<size_t>(IndexOf(KeyboardCaps(false), 'F'))].label, "\xD0\x90");
    EXPECT_EQ(ru.caps[static_cast<size_t>(IndexOf(KeyboardCaps(false), 'W'))].label, "W");
    EXPECT_EQ(KeysDetailText(ru, 'Q', numbers), "\xD0\x99 (Q): 7 presses, 2.8% of key presses, rank 6 of 8");
}

}  // namespace
}  // namespace qm::ui
