// The History window's chart over history.csv's rows: the bars of each
// period, the axis, the layout of a paint, the hit test and the texts.
#include "ui/chart_paint.h"
#include "ui/chart_text.h"
#include "ui/history_chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "tests/fakes.h"

namespace qm::ui {
namespace {

using F = ChartFigure;
using P = ChartPeriod;

DayFigures Keys(int64_t keys) { return {keys, 0, 0, 0, 0, 0, 0}; }
DayFigures Typing(int64_t letters, double seconds) { return {0, 0, 0, letters, seconds, 0, 0}; }

std::string Date(const LocalDate& d) { return HistoryDate(d); }

HistoryChart Chart(const std::vector<HistoryRow>& rows, LocalDate today, F figure, P period,
                   const DayFigures& unsaved = {}) {
    return BuildHistoryChart(rows, unsaved, today, figure, period);
}

// The window's font as the tests measure it: 6 pixels a character and 13
// pixels a line at 96 dpi, in proportion above.
struct Font {
    int dpi;
    int Height() const { return 13 * dpi / 96; }
    TextWidth Width() const {
        return [dpi = dpi](const std::string& s) { return static_cast<int>(s.size()) * 6 * dpi / 96; };
    }
};

template <class Chart>
ChartPaint Paint(const Chart& chart, int width, int height, int dpi = 96) {
    static test::FakeNumberFormat numbers;
    const Font font{dpi};
    return LayOutChart(chart, width, height, dpi, font.Height(), font.Width(), numbers);
}

// --- the bars of the three periods ---------------------------------------------

TEST(HistoryChartPeriods, ThirtyDaysEndTodayAcrossTheLeapDay) {
    const std::vector<HistoryRow> rows = {
        {"2024-02-09", Keys(1)},  // the 31st day back: outside
        {"2024-02-10", Keys(10)}, {"2024-02-28", Keys(28)}, {"2024-02-29", Keys(29)},
        {"2024-03-01", Keys(301)}, {"2024-03-10", Keys(310)},
        {"2024-03-11", Keys(311)},  // after today (the clock was put back): in no bar
    };
    const HistoryChart c = Chart(rows, {2024, 3, 10}, F::KeysPressed, P::LastThirtyDays);
    ASSERT_EQ(c.bars.size(), 30u);
    EXPECT_EQ(Date(c.bars[0].date), "2024-02-10");
    EXPECT_EQ(Date(c.bars[18].date), "2024-02-28");
    EXPECT_EQ(Date(c.bars[19].date), "2024-02-29");
    EXPECT_EQ(Date(c.bars[20].date), "2024-03-01");
    EXPECT_EQ(Date(c.bars[29].date), "2024-03-10");
    EXPECT_EQ(c.bars[0].value, 10);
    EXPECT_EQ(c.bars[19].value, 29);
    EXPECT_EQ(c.bars[20].value, 301);
    EXPECT_EQ(c.bars[29].value, 310);
    EXPECT_EQ(c.bars[25].value, 0);  // a day without a row is a gap
    EXPECT_EQ(c.bars[25].activeDays, 0);
    EXPECT_EQ(c.maxValue, 310);
    EXPECT_EQ(c.activeDays, 5);
    EXPECT_EQ(c.sums.KeysPressed, 10 + 28 + 29 + 301 + 310);
    for (size_t i = 0; i < c.bars.size(); ++i) EXPECT_EQ(c.bars[i].current, i == 29) << i;
    EXPECT_EQ(BarLabel(c, 19), "29");
    EXPECT_EQ(BarLabel(c, 20), "1");
}

TEST(HistoryChartPeriods, ThirtyDaysAcrossTheNewYearAndAFebruaryOf28Days) {
    HistoryChart c = Chart({{"2024-12-31", Keys(5)}, {"2025-01-01", Keys(6)}}, {2025, 1, 5}, F::KeysPressed,
                           P::LastThirtyDays);
    EXPECT_EQ(Date(c.bars[0].date), "2024-12-07");
    EXPECT_EQ(Date(c.bars[24].date), "2024-12-31");
    EXPECT_EQ(c.bars[24].value, 5);
    EXPECT_EQ(Date(c.bars[25].date), "2025-01-01");
    EXPECT_EQ(c.bars[25].value, 6);

    c = Chart({}, {2025, 3, 1}, F::KeysPressed, P::LastThirtyDays);
    EXPECT_EQ(Date(c.bars[0].date), "2025-01-31");
    EXPECT_EQ(Date(c.bars[28].date), "2025-02-28");
}

TEST(HistoryChartPeriods, TwelveCalendarMonthsEachTheSumOfItsDays) {
    const std::vector<HistoryRow> rows = {
        {"2024-01-31", Keys(1)},  // thirteen months back: outside
        {"2024-02-01", Keys(100)}, {"2024-02-29", Keys(29)}, {"2024-12-31", Keys(1231)},
        {"2025-01-05", Keys(5)},   {"2025-01-20", Keys(7)},  // after today, in this month: not yet
    };
    const HistoryChart c = Chart(rows, {2025, 1, 5}, F::KeysPressed, P::LastTwelveMonths);
    ASSERT_EQ(c.bars.size(), 12u);
    EXPECT_EQ(Date(c.bars[0].date), "2024-02-01");
    EXPECT_EQ(Date(c.bars[11].date), "2025-01-01");
    EXPECT_EQ(c.bars[0].value, 129);
    EXPECT_EQ(c.bars[0].activeDays, 2);
    EXPECT_EQ(c.bars[1].value, 0);
    EXPECT_EQ(c.bars[10].value, 1231);
    EXPECT_EQ(c.bars[11].value, 5);
    EXPECT_TRUE(c.bars[11].current);
    EXPECT_FALSE(c.bars[10].current);
    EXPECT_EQ(c.sums.KeysPressed, 129 + 1231 + 5);
    EXPECT_EQ(BarLabel(c, 0), "Feb");
    EXPECT_EQ(BarLabel(c, 10), "Dec");
    EXPECT_EQ(BarLabel(c, 11), "Jan");
}

TEST(HistoryChartPeriods, AllYearsFromTheFirstRowToThisYearWithGaps) {
    const std::vector<HistoryRow> rows = {
        {"2021-06-01", Keys(1)}, {"2021-12-31", Keys(2)}, {"2023-01-01", Keys(30)},
        {"2025-01-05", Keys(5)}, {"2025-06-01", Keys(8)},  // after today: not yet
        {"2026-01-01", Keys(9)},                           // and no year of its own
    };
    HistoryChart c = Chart(rows, {2025, 1, 5}, F::KeysPressed, P::AllYears);
    ASSERT_EQ(c.bars.size(), 5u);
    EXPECT_EQ(BarLabel(c, 0), "2021");
    EXPECT_EQ(BarLabel(c, 4), "2025");
    EXPECT_EQ(c.bars[0].value, 3);
    EXPECT_EQ(c.bars[1].value, 0);
    EXPECT_EQ(c.bars[2].value, 30);
    EXPECT_EQ(c.bars[4].value, 5);
    EXPECT_TRUE(c.bars[4].current);

    // No history at all, or only rows in the future: this year alone.
    c = Chart({{"2026-01-01", Keys(9)}}, {2025, 1, 5}, F::KeysPressed, P::AllYears, Keys(4));
    ASSERT_EQ(c.bars.size(), 1u);
    EXPECT_EQ(c.bars[0].value, 4);
    EXPECT_EQ(c.maxValue, 4);
}

TEST(HistoryChartPeriods, UnsavedFiguresJoinTodaysBarAsOneDay) {
    const DayFigures unsaved = {40, 2, 7000, 10, 5, 1, 60};
    // With a row for today: one day, its sums added.
    HistoryChart c = Chart({{"2025-01-04", Keys(1)}, {"2025-01-05", Keys(100)}}, {2025, 1, 5}, F::KeysPressed,
                           P::LastThirtyDays, unsaved);
    EXPECT_EQ(c.bars[29].value, 140);
    EXPECT_EQ(c.bars[29].sums.MousePixels, 7000);
    EXPECT_EQ(c.bars[29].activeDays, 1);
    EXPECT_EQ(c.activeDays, 2);
    EXPECT_EQ(Date(c.bestDay), "2025-01-05");
    // Without one, today is active from the unsaved figures alone; in this
    // month's and this year's bars too.
    for (P period : kChartPeriods) {
        c = Chart({{"2025-01-04", Keys(1)}}, {2025, 1, 5}, F::KeysPressed, period, unsaved);
        EXPECT_EQ(c.bars.back().value, 41 - (period == P::LastThirtyDays ? 1 : 0)) << PeriodName(period);
        EXPECT_EQ(c.bars.back().activeDays, period == P::LastThirtyDays ? 1 : 2);
    }
    // A clock beyond the history's years saves today's figures under
    // 9999-12-31: the chart shows them there too.
    c = Chart({}, {12026, 5, 5}, F::KeysPressed, P::LastThirtyDays, unsaved);
    EXPECT_EQ(Date(c.bars.back().date), "9999-12-31");
    EXPECT_EQ(c.bars.back().value, 40);
}

TEST(HistoryChartPeriods, RowsOfZeroAreNoActiveDays) {
    const HistoryChart c = Chart({{"2025-01-03", {}}, {"2025-01-04", {0, 0, 0, 0, 0, 0, 60}}}, {2025, 1, 5},
                                 F::KeysPressed, P::LastTwelveMonths);
    // A day the program only measured time on is active; the chosen figure
    // is still 0 that day, so it is no best day.
    EXPECT_EQ(c.activeDays, 1);
    EXPECT_FALSE(c.hasBestDay);
    EXPECT_EQ(c.maxValue, 0);
}

// --- the figures ----------------------------------------------------------------

TEST(HistoryChartFigures, EachFigureOfADay) {
    const DayFigures day = {1520, 310, 84211, 1002, 332.3, 40, 5400};
    EXPECT_EQ(FigureValue(F::KeysPressed, day), 1520);
    EXPECT_EQ(FigureValue(F::MouseClicks, day), 310);
    EXPECT_DOUBLE_EQ(FigureValue(F::MouseMeters, day), 84211 / 3500.0);
    EXPECT_EQ(FigureValue(F::LettersTyped, day), 1002);
    EXPECT_EQ(FigureValue(F::TypingSpeed, day), 199);  // 199.01 rounds down
    EXPECT_EQ(FigureValue(F::HoursMeasured, day), 1.5);
    EXPECT_STREQ(FigureName(F::MouseMeters), "Meters of mouse travel");
    EXPECT_STREQ(FigureName(F::HoursMeasured), "Time measured (hours)");
}

TEST(HistoryChartFigures, SpeedIsZeroWithoutTypingSecondsAndRoundsDown) {
    EXPECT_EQ(TypingSpeed(Typing(500, 0)), 0);
    EXPECT_EQ(TypingSpeed(Typing(0, 12.5)), 0);
    EXPECT_EQ(TypingSpeed(Typing(10, 66)), 10);
    EXPECT_EQ(TypingSpeed(Typing(10, 66.0001)), 9);
    // Letters beyond what 64 bits hold times 66 still give a speed.
    EXPECT_NEAR(TypingSpeed(Typing(std::numeric_limits<int64_t>::max(), 66)), 9.223372036854775807e18, 1e4);
}

TEST(HistoryChartFigures, SpeedOfAMonthComesFromItsSumsNotFromAnAverageOfDays) {
    const std::vector<HistoryRow> rows = {
        {"2024-02-10", Typing(100, 60)},  // 110 a minute
        {"2024-02-11", Typing(300, 30)},  // 660
        {"2024-02-12", Typing(50, 0)},    // letters, but no typing seconds: speed 0
    };
    const HistoryChart c = Chart(rows, {2024, 3, 10}, F::TypingSpeed, P::LastTwelveMonths);
    const ChartBar& february = c.bars[10];
    EXPECT_EQ(Date(february.date), "2024-02-01");
    EXPECT_EQ(february.value, 330);  // 450 * 66 / 90
    EXPECT_EQ(february.activeDays, 3);
    EXPECT_EQ(Date(c.bestDay), "2024-02-11");  // the best day is a single day's own speed
    EXPECT_EQ(c.bestValue, 660);

    const HistoryChart days = Chart(rows, {2024, 3, 10}, F::TypingSpeed, P::LastThirtyDays);
    EXPECT_EQ(days.bars[2].value, 0);  // 2024-02-12
}

TEST(HistoryChartFigures, BestDayOfAPeriodOfYearsIsADayAndTheEarliestOfEqualOnes) {
    const std::vector<HistoryRow> rows = {
        {"2023-05-01", Keys(700)}, {"2023-05-02", Keys(900)}, {"2024-07-01", Keys(900)}, {"2024-07-02", Keys(800)}};
    const HistoryChart c = Chart(rows, {2024, 12, 7}, F::KeysPressed, P::AllYears);
    EXPECT_EQ(c.maxValue, 1700);  // the year 2024
    ASSERT_TRUE(c.hasBestDay);
    EXPECT_EQ(Date(c.bestDay), "2023-05-02");
    EXPECT_EQ(c.bestValue, 900);
}

TEST(HistoryChartFigures, SumsStopAtTheEndOfTheRangeRatherThanWrap) {
    const int64_t most = std::numeric_limits<int64_t>::max();
    const HistoryChart c = Chart({{"2024-12-01", Keys(most)}, {"2024-12-02", Keys(most)}}, {2024, 12, 7},
                                 F::KeysPressed, P::LastTwelveMonths, Keys(most));
    EXPECT_EQ(c.bars[11].sums.KeysPressed, most);
    EXPECT_EQ(c.sums.KeysPressed, most);
    EXPECT_GT(c.maxValue, 9e18);
}

// --- the value axis -------------------------------------------------------------

TEST(HistoryChartAxis, RoundStepsForTypicalMaxima) {
    struct Case {
        double max;
        bool whole;
        double step, top;
        int decimals;
    };
    const Case cases[] = {
        {0, true, 1, 1, 0},
        {0, false, 0.2, 1, 1},
        {1, true, 1, 1, 0},  // no steps of 0.2 keys
        {7, true, 2, 8, 0},
        {999, true, 200, 1000, 0},
        {1000000, true, 200000, 1000000, 0},
        {1099511627776.0, true, 500000000000.0, 1500000000000.0, 0},  // 2^40
        {0.37, false, 0.1, 0.4, 1},
        {24.06, false, 5, 25, 0},
        {1 / 3500.0, false, 0.0001, 0.0003, 4},  // a single pixel in meters
    };
    for (const Case& c : cases) {
        const ValueAxis axis = RoundAxis(c.max, 5, c.whole);
        EXPECT_EQ(axis.step, c.step) << c.max;
        EXPECT_EQ(axis.top, c.top) << c.max;
        EXPECT_EQ(axis.decimals, c.decimals) << c.max;
        EXPECT_EQ(axis.Value(axis.intervals), axis.top);
    }
    EXPECT_EQ(RoundAxis(0.37, 5, false).Value(3), 0.3);  // exact, not 3 * 0.1
}

TEST(HistoryChartAxis, CoversEveryMaximumWithTheFewestRoundStepsThatFit) {
    for (bool whole : {true, false})
        for (double max = 1e-3; max < 1e300; max *= 1.037) {
            for (int most = 1; most <= 6; ++most) {
                const ValueAxis axis = RoundAxis(max, most, whole);
                ASSERT_TRUE(std::isfinite(axis.top));
                ASSERT_GE(axis.top, max * (1 - 1e-12)) << max;
                ASSERT_LE(axis.intervals, most);
                const double power = std::pow(10.0, std::floor(std::log10(axis.step) + 1e-9));
                const double mantissa = axis.step / power;
                ASSERT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                            std::fabs(mantissa - 5) < 1e-9)
                    << axis.step;
                // The next smaller round step would need more than `most` steps.
                const double smaller = std::fabs(mantissa - 1) < 1e-9 ? axis.step / 2
                                       : std::fabs(mantissa - 2) < 1e-9 ? axis.step / 2
                                                                         : axis.step * 0.4;
                if (!whole || smaller >= 1) {
                    ASSERT_GT(max / smaller, most * (1 - 1e-9)) << max << " " << most;
                }
            }
        }
    const double largest = std::numeric_limits<double>::max();
    const ValueAxis axis = RoundAxis(largest, 5, true);
    EXPECT_TRUE(std::isfinite(axis.top));
    EXPECT_GE(axis.top, largest);
    EXPECT_EQ(RoundAxis(std::numeric_limits<double>::infinity(), 5, true).top, largest);
}

// --- the layout of a paint ------------------------------------------------------------

std::vector<HistoryRow> BusyMonth() {
    std::vector<HistoryRow> rows;
    for (int day = 1; day <= 31; ++day) rows.push_back({HistoryDate({2026, 12, day}), Keys(day * 37)});
    return rows;
}

TEST(HistoryChartLayout, AxisLabelsInTheRegionalFormatWithTheDecimalsOfTheStep) {
    HistoryChart c = Chart({{"2026-12-01", Keys(999)}}, {2026, 12, 7}, F::KeysPressed, P::LastThirtyDays);
    ChartPaint p = Paint(c, 900, 400);
    std::vector<std::string> labels;
    for (const Gridline& g : p.gridlines) labels.push_back(g.label.text);
    EXPECT_EQ(labels, (std::vector<std::string>{"0", "200", "400", "600", "800", "1,000"}));
    // Room at the left for the widest, "1,000", and the margins.
    EXPECT_EQ(p.plot.left, 8 + 30 + 6);
    EXPECT_EQ(p.gridlines.front().y, p.plot.bottom);
    EXPECT_EQ(p.gridlines.back().y, p.plot.top);
    for (const Gridline& g : p.gridlines) {
        EXPECT_EQ(g.label.rect.right, p.plot.left - 6);
        EXPECT_GE(g.label.rect.left, 0);
        EXPECT_GE(g.label.rect.top, 0);
    }

    c = Chart({{"2026-12-01", {0, 0, 1295, 0, 0, 0, 0}}}, {2026, 12, 7}, F::MouseMeters, P::LastThirtyDays);  // 0.37 m
    p = Paint(c, 900, 400);
    labels.clear();
    for (const Gridline& g : p.gridlines) labels.push_back(g.label.text);
    EXPECT_EQ(labels, (std::vector<std::string>{"0.0", "0.1", "0.2", "0.3", "0.4"}));
}

TEST(HistoryChartLayout, BarsStandInTheirColumnsInProportionToTheAxis) {
    for (int dpi : {96, 144}) {
        const HistoryChart c = Chart(BusyMonth(), {2026, 12, 31}, F::KeysPressed, P::LastThirtyDays, Keys(0));
        const ChartPaint p = Paint(c, 900, 400, dpi);
        ASSERT_EQ(p.bars.size(), 30u);
        EXPECT_EQ(p.plot.right, 900 - 8 * dpi / 96);
        EXPECT_EQ(p.bars.front().slotLeft, p.plot.left);
        EXPECT_EQ(p.bars.back().slotRight, p.plot.right);
        for (size_t i = 0; i < p.bars.size(); ++i) {
            const BarPlace& b = p.bars[i];
            if (i > 0) {
                EXPECT_EQ(b.slotLeft, p.bars[i - 1].slotRight);
            }
            EXPECT_GT(b.bar.left, b.slotLeft);  // a gap on either side
            EXPECT_LT(b.bar.right, b.slotRight);
            EXPECT_EQ(b.bar.bottom, p.plot.bottom);
            const double expected = c.bars[i].value / p.axis.top * p.plot.Height();
            EXPECT_NEAR(b.bar.Height(), expected, 0.5) << i;
        }
        EXPECT_EQ(p.axis.top, 1500);  // 31 * 37 = 1147: 6 steps of 200 would be too many
        // Gridlines keep two text lines apart.
        for (size_t i = 1; i < p.gridlines.size(); ++i)
            EXPECT_GE(p.gridlines[i - 1].y - p.gridlines[i].y, 2 * Font{dpi}.Height());
    }
}

TEST(HistoryChartLayout, AFigureAboveZeroShowsAndZeroLeavesAGap) {
    const HistoryChart c = Chart({{"2026-12-05", Keys(1)}, {"2026-12-06", Keys(1000000)}}, {2026, 12, 7},
                                 F::KeysPressed, P::LastThirtyDays);
    const ChartPaint p = Paint(c, 900, 400);
    EXPECT_EQ(p.bars[27].bar.Height(), 1);
    EXPECT_EQ(p.bars[28].bar.Height(), p.plot.Height());
    EXPECT_EQ(p.bars[29].bar.Height(), 0);
}

TEST(HistoryChartLayout, ALoneYearIsABarNotAWallAndManyYearsAreAPixelEach) {
    HistoryChart c = Chart({}, {2026, 12, 7}, F::KeysPressed, P::AllYears, Keys(5));
    ChartPaint p = Paint(c, 900, 400);
    ASSERT_EQ(p.bars.size(), 1u);
    EXPECT_EQ(p.bars[0].bar.Width(), 64);
    EXPECT_EQ(p.bars[0].slotRight - p.bars[0].slotLeft, p.plot.Width());

    c = Chart({{"0001-01-01", Keys(5)}}, {2026, 12, 7}, F::KeysPressed, P::AllYears);
    p = Paint(c, 300, 200);
    ASSERT_EQ(p.bars.size(), 2026u);
    for (const BarPlace& b : p.bars) {
        EXPECT_GE(b.bar.Width(), 1);
        EXPECT_LE(b.bar.right, p.plot.right);
    }
}

TEST(HistoryChartLayout, PeriodLabelsNeverOverlapAndKeepTheCurrentOne) {
    std::vector<HistoryRow> rows = BusyMonth();
    rows.insert(rows.begin(), {{"2015-03-01", Keys(5)}});
    for (int dpi : {96, 144})
        for (P period : kChartPeriods) {
            const HistoryChart c = Chart(rows, {2026, 12, 31}, F::KeysPressed, period);
            const int n = static_cast<int>(c.bars.size());
            for (int width = 60; width <= 1200; width += 7) {
                const ChartPaint p = Paint(c, width, 300, dpi);
                if (p.bars.empty()) continue;
                SCOPED_TRACE(std::string(PeriodName(period)) + " at " + std::to_string(dpi) + " dpi, " +
                             std::to_string(width) + " px");
                // Only an area too narrow for the current bar's label has none.
                if (p.plot.left + Font{dpi}.Width()(BarLabel(c, n - 1)) > width) {
                    EXPECT_TRUE(p.labels.empty());
                    continue;
                }
                ASSERT_FALSE(p.labels.empty());
                EXPECT_EQ(p.labels.back().bar, n - 1);
                for (size_t i = 0; i < p.labels.size(); ++i) {
                    const PeriodLabel& l = p.labels[i];
                    EXPECT_EQ(l.label.text, BarLabel(c, l.bar));
                    EXPECT_EQ(l.label.rect.Width(), Font{dpi}.Width()(l.label.text));
                    EXPECT_GE(l.label.rect.left, p.plot.left);
                    EXPECT_LE(l.label.rect.right, width);
                    EXPECT_GT(l.label.rect.top, p.plot.bottom);
                    EXPECT_LE(l.label.rect.bottom, 300);
                    EXPECT_EQ((n - 1 - l.bar) % p.labelEvery, 0);
                    if (i > 0) {
                        EXPECT_EQ(l.bar - p.labels[i - 1].bar, p.labelEvery);
                        EXPECT_LT(p.labels[i - 1].label.rect.right, l.label.rect.left);
                    }
                }
                EXPECT_EQ(p.labels.front().bar, (n - 1) % p.labelEvery);
            }
        }
}

TEST(HistoryChartLayout, EveryLabelWhereThereIsRoomFewerWhereThereIsNot) {
    const HistoryChart c = Chart(BusyMonth(), {2026, 12, 31}, F::KeysPressed, P::LastThirtyDays);
    EXPECT_EQ(Paint(c, 900, 400, 96).labelEvery, 1);
    EXPECT_EQ(Paint(c, 900, 400, 96).labels.size(), 30u);
    // Two-digit days of 18 pixels at 144 dpi in columns of some 28: still all.
    EXPECT_EQ(Paint(c, 900, 400, 144).labelEvery, 1);
    // Columns of some 14 pixels: every other, the 31st among them.
    const ChartPaint narrow = Paint(c, 460, 400, 96);
    EXPECT_EQ(narrow.labelEvery, 2);
    EXPECT_EQ(narrow.labels.back().label.text, "31");
    EXPECT_EQ(narrow.labels.front().label.text, "3");
}

TEST(HistoryChartLayout, AnAreaTooSmallForAPlotHasNoBars) {
    const HistoryChart c = Chart(BusyMonth(), {2026, 12, 31}, F::KeysPressed, P::LastThirtyDays);
    for (auto [w, h] : {std::pair{40, 400}, std::pair{900, 30}, std::pair{0, 0}}) {
        const ChartPaint p = Paint(c, w, h);
        EXPECT_TRUE(p.bars.empty());
        EXPECT_TRUE(p.labels.empty());
        EXPECT_EQ(BarAt(p, 20, 10), -1);
    }
}

// --- pointing at a bar ---------------------------------------------------------------

TEST(HistoryChartHitTest, ColumnsMeetHalfWayBetweenTheBarsAndTheEdgesAreExact) {
    const HistoryChart c = Chart({{"2026-12-01", Keys(1000)}}, {2026, 12, 7}, F::KeysPressed, P::LastTwelveMonths);
    const ChartPaint p = Paint(c, 900, 400);
    // "1,000" is 30 px wide: the plot runs from 44 to 892, twelve columns of
    // 70 or 71 px, each bar 53 px in its middle.
    ASSERT_EQ(p.plot.left, 44);
    ASSERT_EQ(p.plot.right, 892);
    EXPECT_EQ(p.bars[0].bar.left, 52);
    EXPECT_EQ(p.bars[0].bar.right, 105);
    EXPECT_EQ(p.bars[1].slotLeft, 114);
    EXPECT_EQ(p.bars[1].bar.left, 123);
    const int y = p.plot.top + 5;
    EXPECT_EQ(BarAt(p, 43, y), -1);
    EXPECT_EQ(BarAt(p, 44, y), 0);
    EXPECT_EQ(BarAt(p, 105, y), 0);  // in the gap, nearer bar 0
    EXPECT_EQ(BarAt(p, 113, y), 0);
    EXPECT_EQ(BarAt(p, 114, y), 1);
    EXPECT_EQ(BarAt(p, 122, y), 1);  // in the gap, nearer bar 1
    EXPECT_EQ(BarAt(p, 891, y), 11);
    EXPECT_EQ(BarAt(p, 892, y), -1);
    EXPECT_EQ(BarAt(p, 500, p.plot.top), BarAt(p, 500, y));
    EXPECT_EQ(BarAt(p, 500, p.plot.top - 1), -1);
    EXPECT_NE(BarAt(p, 500, p.plot.bottom - 1), -1);
    EXPECT_EQ(BarAt(p, 500, p.plot.bottom), -1);  // the zero line and the labels below it

    // Every column's first and last pixel, at every dpi.
    for (int dpi : {96, 120, 144, 192}) {
        const ChartPaint q = Paint(Chart({}, {2026, 12, 7}, F::KeysPressed, P::LastThirtyDays), 777, 300, dpi);
        for (int i = 0; i < 30; ++i) {
            EXPECT_EQ(BarAt(q, q.bars[i].slotLeft, q.plot.top), i);
            EXPECT_EQ(BarAt(q, q.bars[i].slotRight - 1, q.plot.bottom - 1), i);
        }
    }
}

// --- the texts ---------------------------------------------------------------

TEST(HistoryChartTexts, APointedBarNamesItsDayOrMonthOrYearAndAllItsFigures) {
    const test::FakeNumberFormat numbers;
    const test::FakeDateFormat dates;
    const std::vector<HistoryRow> rows = {{"2026-12-01", {2000, 10, 3500, 500, 100, 3, 1800}},
                                          {"2026-12-07", {1500, 300, 80711, 1000, 330, 40, 3600}}};
    const DayFigures unsaved = {20, 10, 3500, 2, 2.3, 0, 0};
    HistoryChart c = Chart(rows, {2026, 12, 7}, F::KeysPressed, P::LastThirtyDays, unsaved);
    EXPECT_EQ(DetailText(c, 29, numbers, dates),
              "12/7/2026: 1,520 keys, 310 clicks, 24.06 m, 1,002 letters, 199 letters/min, 1.0 h");
    EXPECT_EQ(DetailText(c, 28, numbers, dates), "12/6/2026: no figures");

    c = Chart(rows, {2026, 12, 7}, F::KeysPressed, P::LastTwelveMonths, unsaved);
    EXPECT_EQ(DetailText(c, 11, numbers, dates),
              "2026-12 (2 active days): 3,520 keys, 320 clicks, 25.06 m, 1,502 letters, 229 letters/min, 1.5 h");
    EXPECT_EQ(DetailText(c, 10, numbers, dates), "2026-11: no figures");

    c = Chart({{"2026-12-01", Keys(2)}}, {2026, 12, 7}, F::KeysPressed, P::AllYears);
    EXPECT_EQ(DetailText(c, 0, numbers, dates),
              "2026 (1 active day): 2 keys, 0 clicks, 0.00 m, 0 letters, 0 letters/min, 0.0 h");
}

TEST(HistoryChartTexts, WithoutAPointedBarThePeriodsTotalAverageAndBestDay) {
    const test::FakeNumberFormat numbers;
    const test::FakeDateFormat dates;
    std::vector<HistoryRow> rows;
    for (int day = 10; day <= 29; ++day) rows.push_back({HistoryDate({2026, 11, day}), Keys(2000)});
    rows[11].figures = Keys(5100);  // 2026-11-21
    rows[15].figures = Keys(5100);  // 2026-11-25: as good, but later
    rows[12].figures = Keys(1400);
    HistoryChart c = Chart(rows, {2026, 12, 7}, F::KeysPressed, P::LastThirtyDays);
    EXPECT_EQ(DetailText(c, -1, numbers, dates),
              "Last 30 days: 45,600 keys pressed in total, 2,280 a day on 20 active days; "
              "best day 11/21/2026 with 5,100");

    c = Chart({{"2026-03-01", {0, 0, 7000, 0, 0, 0, 9000}}}, {2026, 12, 7}, F::MouseMeters, P::LastTwelveMonths);
    EXPECT_EQ(DetailText(c, -1, numbers, dates),
              "Last 12 months: 2.00 meters of mouse travel in total, 2.00 a day on 1 active day; "
              "best day 3/1/2026 with 2.00");
    c = Chart({{"2026-03-01", {0, 0, 7000, 0, 0, 0, 9000}}}, {2026, 12, 7}, F::HoursMeasured, P::AllYears);
    EXPECT_EQ(DetailText(c, -1, numbers, dates),
              "All years: 2.5 hours measured in total, 2.5 a day on 1 active day; best day 3/1/2026 with 2.5");

    c = Chart({{"2026-12-01", Typing(100, 60)}, {"2026-12-02", Typing(300, 30)}}, {2026, 12, 7}, F::TypingSpeed,
              P::LastThirtyDays);
    EXPECT_EQ(DetailText(c, -1, numbers, dates),
              "Last 30 days: typing speed 293 letters/min on 2 active days; best day 12/2/2026 with 660");

    // A period with some time measured but not a letter: no best day to name.
    c = Chart({{"2026-12-01", {0, 0, 0, 0, 0, 0, 60}}}, {2026, 12, 7}, F::LettersTyped, P::LastThirtyDays);
    EXPECT_EQ(DetailText(c, -1, numbers, dates), "Last 30 days: 0 letters typed in total, 0 a day on 1 active day");
}

TEST(HistoryChartTexts, APeriodWithoutFiguresSaysSo) {
    const test::FakeNumberFormat numbers;
    const test::FakeDateFormat dates;
    const std::vector<HistoryRow> old = {{"2020-01-01", Keys(5)}};
    EXPECT_EQ(DetailText(Chart(old, {2026, 12, 7}, F::KeysPressed, P::LastThirtyDays), -1, numbers, dates),
              "No figures in the last 30 days");
    EXPECT_EQ(DetailText(Chart(old, {2026, 12, 7}, F::KeysPressed, P::LastTwelveMonths), -1, numbers, dates),
              "No figures in the last 12 months");
    EXPECT_EQ(DetailText(Chart({}, {2026, 12, 7}, F::KeysPressed, P::AllYears), -1, numbers, dates),
              "No figures yet");
    // The regional format shows: German separators.
    const test::FakeNumberFormat german(",", ".");
    const HistoryChart c = Chart({{"2026-12-07", {1234567, 0, 8750, 0, 0, 0, 0}}}, {2026, 12, 7}, F::MouseMeters,
                                 P::LastThirtyDays);
    EXPECT_EQ(DetailText(c, 29, german, dates),
              "12/7/2026: 1.234.567 keys, 0 clicks, 2,50 m, 0 letters, 0 letters/min, 0,0 h");
}

TEST(HistoryChartTexts, ClipboardHoldsEveryBarWithMachineReadableNumbers) {
    const int64_t most = std::numeric_limits<int64_t>::max();
    const std::vector<HistoryRow> rows = {
        {"2024-02-29", {1520, 310, 84211, 1002, 332.3, 40, 5400}},
        {"2025-01-05", {most, 0, most, 0, 0, 0, 18}},
    };
    const HistoryChart years = Chart(rows, {2025, 1, 5}, F::KeysPressed, P::AllYears);
    EXPECT_EQ(ClipboardText(years),
              "Date\tKeys pressed\tMouse clicks\tMeters of mouse travel\tLetters typed\tTyping speed\t"
              "Time measured (hours)\r\n"
              "2024\t1520\t310\t24.06\t1002\t199\t1.50\r\n"
              "2025\t9223372036854775807\t0\t2635249153387078.80\t0\t0\t0.01\r\n");

    const std::string months = ClipboardText(Chart(rows, {2025, 1, 5}, F::KeysPressed, P::LastTwelveMonths));
    EXPECT_EQ(months.substr(months.find("\r\n") + 2, 23), "2024-02\t1520\t310\t24.06\t");
    EXPECT_NE(months.find("\r\n2024-03\t0\t0\t0.00\t0\t0\t0.00\r\n"), std::string::npos);

    const std::string days = ClipboardText(Chart(rows, {2024, 3, 10}, F::KeysPressed, P::LastThirtyDays));
    EXPECT_NE(days.find("\r\n2024-02-29\t1520\t"), std::string::npos);
    EXPECT_EQ(std::count(days.begin(), days.end(), '\n'), 31);
    EXPECT_EQ(days.substr(days.size() - 2), "\r\n");
}

TEST(HoursChartPaint, TwentyFourBarsLabelledByTheirHourAtBothDpis) {
    DayFigures f;
    f.KeysPressed = 50;
    const HoursChart chart =
        BuildHoursChart({{"2026-12-08", 0, f}, {"2026-12-08", 23, f}}, {}, {2026, 12, 8}, ChartFigure::KeysPressed,
                        HoursPeriod::Today);
    for (int dpi : {96, 144}) {
        const ChartPaint paint = Paint(chart, 688 * dpi / 96, 304 * dpi / 96, dpi);
        ASSERT_EQ(paint.bars.size(), 24u);
        ASSERT_EQ(paint.labels.size(), 24u) << dpi;
        EXPECT_EQ(paint.labels.front().label.text, "0");
        EXPECT_EQ(paint.labels.back().label.text, "23");
        EXPECT_EQ(paint.bars[0].bar.top, paint.plot.top);  // the highest bar reaches the top gridline
        EXPECT_EQ(BarAt(paint, (paint.bars[23].slotLeft + paint.bars[23].slotRight) / 2, paint.plot.bottom - 1), 23);
    }
}

}  // namespace
}  // namespace qm::ui
