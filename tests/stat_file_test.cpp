#include "core/stat_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/checked.h"
#include "tests/fakes.h"

namespace qm {
namespace {

const std::string kPath = "C:\\Q\\stat.dat";
const std::string kWorkedExample =
    "15234\r\n812.37\r\n4521873\r\n9876\r\n1543.2\r\n3410\r\n86400\r\n03-14-2024\r\nTrue\r\n";

struct StatFileTest : ::testing::Test {
    test::MemoryFileSystem files;
    test::FakeCalendar calendar;
    Statistics stats;
    std::vector<bool> autorunCalls;

    void Load(const std::string& content) {
        files.files[kPath] = content;
        LoadStatistics(stats, files, kPath, calendar, [&](bool f) { autorunCalls.push_back(f); });
    }
    StatFileError LoadFailure(const std::string& content) {
        try {
            Load(content);
        } catch (const StatFileError& e) {
            return e;
        }
        ADD_FAILURE() << "load did not fail";
        return StatFileError(StatFileError::Reason::CannotRead, "", 0, "");
    }
    static std::string Lines(std::initializer_list<std::string> lines) {
        std::string text;
        for (auto& l : lines) text += l + "\r\n";
        return text;
    }
};

TEST_F(StatFileTest, WorkedExampleLoadsAndSavesBackByteForByte) {
    Load(kWorkedExample);
    StatRecord expected{4521873, 15234, 812.37, 9876, 1543.2, 3410, 86400, "03-14-2024"};
    EXPECT_EQ(stats.CommonStat, expected);
    EXPECT_TRUE(stats.AutorunEnabled);
    EXPECT_TRUE(autorunCalls.empty());  // a readable flag is not applied to the registry

    SaveStatistics(stats, files, kPath);
    EXPECT_EQ(files.files[kPath], kWorkedExample);
}

TEST_F(StatFileTest, MissingFileIsCreatedFromZeroAccountsThenLoadsAsToday) {
    ASSERT_FALSE(FileExists(files, kPath));
    SaveStatistics(stats, files, kPath);
    EXPECT_EQ(files.files[kPath], "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\nFalse\r\n");
    EXPECT_TRUE(FileExists(files, kPath));

    LoadStatistics(stats, files, kPath, calendar, [&](bool f) { autorunCalls.push_back(f); });
    EXPECT_EQ(stats.CommonStat.SinceDate, "12-07-2026");
    EXPECT_FALSE(stats.AutorunEnabled);
    SaveStatistics(stats, files, kPath);
    EXPECT_EQ(files.files[kPath], "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n12-07-2026\r\nFalse\r\n");
}

TEST_F(StatFileTest, ZeroLengthFileExistsButFailsToLoadAtLineOne) {
    files.files[kPath] = "";
    EXPECT_TRUE(FileExists(files, kPath));
    StatFileError e = LoadFailure("");
    EXPECT_EQ(e.reason, StatFileError::Reason::EndOfFile);
    EXPECT_EQ(e.line, 1);
}

TEST_F(StatFileTest, NumberReadingRule) {
    EXPECT_EQ(ReadNumber("1,5"), 1.0);
    EXPECT_EQ(ReadNumber("12abc"), 12.0);
    EXPECT_EQ(ReadNumber("abc"), 0.0);
    EXPECT_EQ(ReadNumber(""), 0.0);
    EXPECT_EQ(ReadNumber("4 2"), 42.0);
    EXPECT_EQ(ReadNumber(" \t-1\n7 "), -17.0);
    EXPECT_EQ(ReadNumber("1.5E3"), 1500.0);
    EXPECT_EQ(ReadNumber("2e-2"), 0.02);
    EXPECT_EQ(ReadNumber("+8"), 8.0);
    EXPECT_EQ(ReadNumber(".5"), 0.5);
    EXPECT_EQ(ReadNumber("7E"), 7.0);  // an exponent without digits is not read
    EXPECT_EQ(ReadNumber("-"), 0.0);
    EXPECT_EQ(ReadNumber("1e-400"), 0.0);
    EXPECT_THROW(ReadNumber("1e400"), OverflowError);
}

// Numbers reach the largest double up to half a step beyond it, and the
// smallest one from half of it on; a long text counts by its value alone.
TEST_F(StatFileTest, NumbersAtTheEdgesOfTheRange) {
    const double max = std::numeric_limits<double>::max();
    const double min = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(ReadNumber("1.7976931348623158e308"), max);
    EXPECT_EQ(ReadNumber("-1.7976931348623158e308"), -max);
    EXPECT_THROW(ReadNumber("1.7976931348623159e308"), OverflowError);
    EXPECT_THROW(ReadNumber("-1.7976931348623159e308"), OverflowError);
    EXPECT_THROW(ReadNumber("1.79769313486232e308"), OverflowError);
    EXPECT_THROW(ReadNumber("-1e400"), OverflowError);
    EXPECT_THROW(ReadNumber("1" + std::string(400, '0')), OverflowError);
    EXPECT_THROW(ReadNumber("0.00001e99999999999999999999"), OverflowError);
    EXPECT_EQ(ReadNumber("1" + std::string(400, '0') + "e-100"), 1e300);
    EXPECT_EQ(ReadNumber("0." + std::string(1000, '0') + "1e400"), 0.0);
    EXPECT_EQ(ReadNumber("2.4703282292062328e-324"), min);
    EXPECT_EQ(ReadNumber("-2.4703282292062328e-324"), -min);
    EXPECT_EQ(ReadNumber("2.4703282292062327e-324"), 0.0);
    EXPECT_EQ(ReadNumber("-1e-400"), 0.0);
    EXPECT_EQ(ReadNumber("1e-99999999999999999999"), 0.0);
    EXPECT_EQ(ReadNumber("0e99999999999999999999"), 0.0);
    EXPECT_EQ(ReadNumber("2.2250738585072011e-308"), 2.2250738585072009e-308);
}

TEST_F(StatFileTest, CountersRoundHalvesToEvenAndFailBeyond32Bits) {
    Load(Lines({"2.5", "1,5", "3.5", "-2.5", "12abc", "abc", "4 2", "hello", "1"}));
    EXPECT_EQ(stats.CommonStat.KeysPressed, 2);
    EXPECT_EQ(stats.CommonStat.OtherKeysTime, 1.0);
    EXPECT_EQ(stats.CommonStat.MousePixels, 4);
    EXPECT_EQ(stats.CommonStat.LettersTyped, -2);
    EXPECT_EQ(stats.CommonStat.TypingTime, 12.0);
    EXPECT_EQ(stats.CommonStat.MouseClicks, 0);
    EXPECT_EQ(stats.CommonStat.PassedSeconds, 42);
    EXPECT_EQ(stats.CommonStat.SinceDate, "hello");
    EXPECT_TRUE(stats.AutorunEnabled);

    StatFileError e = LoadFailure(Lines({"1", "0", "3000000000", "0", "0", "0", "0", "", "False"}));
    EXPECT_EQ(e.reason, StatFileError::Reason::Overflow);
    EXPECT_EQ(e.line, 3);
    EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("3000000000"), std::string::npos);
}

TEST_F(StatFileTest, FailedLoadNamesTheLineAndLeavesAccountsAndFileAlone) {
    stats.CommonStat.KeysPressed = 99;
    const std::string shortFile = Lines({"1", "2", "3", "4", "5", "6"});
    StatFileError e = LoadFailure(shortFile);
    EXPECT_EQ(e.reason, StatFileError::Reason::EndOfFile);
    EXPECT_EQ(e.line, 7);
    EXPECT_EQ(e.path, kPath);
    EXPECT_EQ(stats.CommonStat.KeysPressed, 99);
    EXPECT_EQ(files.files[kPath], shortFile);
    EXPECT_EQ(files.steps, 0);  // nothing was written
    EXPECT_TRUE(autorunCalls.empty());

    // Nor does a failure after the last line, in the registry's fallback.
    files.files[kPath] = Lines({"1", "2", "3", "4", "5", "6", "7", "01-01-2025"});
    EXPECT_THROW(LoadStatistics(stats, files, kPath, calendar, [](bool) { throw std::runtime_error("registry"); }),
                 std::runtime_error);
    EXPECT_EQ(stats.CommonStat.KeysPressed, 99);

    test::MemoryFileSystem empty;
    try {
        LoadStatistics(stats, empty, kPath, calendar, nullptr);
        FAIL();
    } catch (const StatFileError& missing) {
        EXPECT_EQ(missing.reason, StatFileError::Reason::CannotRead);
    }
}

TEST_F(StatFileTest, LineEightEmptyOrZeroMeansToday) {
    Load(Lines({"0", "0", "0", "0", "0", "0", "0", "0", "False"}));
    EXPECT_EQ(stats.CommonStat.SinceDate, "12-07-2026");
    Load(Lines({"0", "0", "0", "0", "0", "0", "0", "", "False"}));
    EXPECT_EQ(stats.CommonStat.SinceDate, "12-07-2026");
    Load(Lines({"0", "0", "0", "0", "0", "0", "0", "00", "False"}));
    EXPECT_EQ(stats.CommonStat.SinceDate, "00");
}

TEST_F(StatFileTest, LineNineFlagsAndTheFallbackThatRegisters) {
    const auto withFlag = [&](const std::string& flag) {
        return Lines({"0", "0", "0", "0", "0", "0", "0", "01-01-2025", flag});
    };
    Load(withFlag("FALSE"));
    EXPECT_FALSE(stats.AutorunEnabled);
    Load(withFlag("tRuE"));
    EXPECT_TRUE(stats.AutorunEnabled);
    Load(withFlag("0"));
    EXPECT_FALSE(stats.AutorunEnabled);
    Load(withFlag("1"));
    EXPECT_TRUE(stats.AutorunEnabled);
    Load(withFlag("-2.5"));
    EXPECT_TRUE(stats.AutorunEnabled);
    EXPECT_TRUE(autorunCalls.empty());

    // Numbers beyond the range of a double are no flag either: the load goes on.
    for (const std::string& unreadable : {std::string("yes"), std::string(""), std::string("1abc"),
                                          std::string("1e999"), std::string("8e308"), std::string("-1e999")}) {
        stats.AutorunEnabled = false;
        autorunCalls.clear();
        Load(withFlag(unreadable));
        EXPECT_TRUE(stats.AutorunEnabled) << unreadable;
        EXPECT_EQ(autorunCalls, std::vector<bool>{true}) << unreadable;
        EXPECT_EQ(stats.CommonStat.SinceDate, "01-01-2025") << unreadable;
    }

    // Eight lines: every figure loads, and the program registers itself.
    autorunCalls.clear();
    stats.AutorunEnabled = false;
    Load(Lines({"5", "0", "6", "0", "0", "0", "0", "01-01-2025"}));
    EXPECT_EQ(stats.CommonStat.KeysPressed, 5);
    EXPECT_EQ(stats.CommonStat.MousePixels, 6);
    EXPECT_TRUE(stats.AutorunEnabled);
    EXPECT_EQ(autorunCalls, std::vector<bool>{true});
}

TEST_F(StatFileTest, LineEndsAndTrailingText) {
    // A lone LF ends a line too; a last line without its end still counts;
    // lines after the ninth are ignored.
    Load("1\n2\r\n3\r4\r\n5\r\n6\r\n7\r\n08-01-2025\r\nfalse");
    EXPECT_EQ(stats.CommonStat.KeysPressed, 1);
    EXPECT_EQ(stats.CommonStat.MousePixels, 3);
    EXPECT_EQ(stats.CommonStat.LettersTyped, 4);
    EXPECT_EQ(stats.CommonStat.SinceDate, "08-01-2025");
    EXPECT_FALSE(stats.AutorunEnabled);
    Load(kWorkedExample + "extra\r\nlines\r\n");
    EXPECT_EQ(stats.CommonStat.KeysPressed, 15234);
}

TEST_F(StatFileTest, RealTextBelowTenToTheSixteenIsPlainDecimalWithFifteenDigits) {
    EXPECT_EQ(RealText(0), "0");
    EXPECT_EQ(RealText(-0.0), "0");
    EXPECT_EQ(RealText(0.06), "0.06");
    EXPECT_EQ(RealText(1543.2), "1543.2");
    EXPECT_EQ(RealText(812.37), "812.37");
    EXPECT_EQ(RealText(3), "3");
    EXPECT_EQ(RealText(0.1 + 0.2), "0.3");
    EXPECT_EQ(RealText(123456789.123456789), "123456789.123457");
    EXPECT_EQ(RealText(0.001234), "0.001234");
    EXPECT_EQ(RealText(-2.5), "-2.5");
    EXPECT_EQ(RealText(5e-324), "0." + std::string(323, '0') + "494065645841247");
    // The form follows the value rounded to 15 digits.
    EXPECT_EQ(RealText(1e15), "1000000000000000");
    EXPECT_EQ(RealText(999999999999999.9), "1000000000000000");
    EXPECT_EQ(RealText(1234567890123456.0), "1234567890123460");
    EXPECT_EQ(RealText(9999999999999994.0), "9999999999999990");
    for (double v : {0.0123, 1.0 / 3, 98765.4321, 2.0 / 3 * 1000}) {
        double back = ReadNumber(RealText(v));
        EXPECT_NEAR(back, v, std::abs(v) * 1e-14) << v;
    }
}

TEST_F(StatFileTest, RealTextFromTenToTheSixteenTakesAnExponent) {
    EXPECT_EQ(RealText(9999999999999998.0), "1e16");
    EXPECT_EQ(RealText(1e16), "1e16");
    EXPECT_EQ(RealText(1.5e20), "1.5e20");
    EXPECT_EQ(RealText(-123456789012345678.0), "-1.23456789012346e17");
    EXPECT_EQ(RealText(1e308), "1e308");
    EXPECT_EQ(ReadNumber("1.5e20"), 1.5e20);
}

// Next to the largest double, 15 digits round up beyond it: those doubles are
// written with 17 digits, which read back as themselves.
TEST_F(StatFileTest, TopOfTheRangeLoadsSavesAndLoadsAgainWithTheSameBytes) {
    const double max = std::numeric_limits<double>::max();
    EXPECT_EQ(RealText(max), "1.7976931348623157e308");
    EXPECT_EQ(RealText(-max), "-1.7976931348623157e308");
    for (double sign : {1.0, -1.0}) {
        double value = sign * max;
        for (int i = 0; i < 5; ++i, value = std::nextafter(value, 0.0)) {
            const std::string text = RealText(value);
            // The first four need 17 digits; the fifth rounds down to 1.79769313486231e308.
            EXPECT_EQ(text.size() - (sign < 0), i < 4 ? 22u : 20u) << text;
            Load(Lines({"0", text, "0", "0", "0", "0", "0", "01-01-2025", "True"}));
            EXPECT_EQ(stats.CommonStat.OtherKeysTime, i < 4 ? value : ReadNumber(text)) << text;
            SaveStatistics(stats, files, kPath);
            const std::string saved = files.files[kPath];
            LoadStatistics(stats, files, kPath, calendar, nullptr);
            SaveStatistics(stats, files, kPath);
            EXPECT_EQ(files.files[kPath], saved);
        }
    }
    // A file holding the largest double as it is usually written.
    Load(Lines({"0", "1.7976931348623157e308", "0", "0", "-1.7976931348623157e308", "0", "0", "", "False"}));
    SaveStatistics(stats, files, kPath);
    EXPECT_EQ(files.files[kPath], Lines({"0", "1.7976931348623157e308", "0", "0", "-1.7976931348623157e308", "0",
                                         "0", "12-07-2026", "False"}));
}

// A save cut off at any step (a failed create, a disk full half-way through
// a write, a failed flush, close or rename) must leave a stat.dat that loads
// with either the old or the new figures, and no temporary file behind.
TEST_F(StatFileTest, SaveCutOffAtAnyStepLeavesOldOrNewFigures) {
    Load(kWorkedExample);
    const std::string oldFile = files.files[kPath];
    for (int failAt = 1;; ++failAt) {
        test::MemoryFileSystem disk;
        disk.files[kPath] = oldFile;
        disk.failAtStep = failAt;
        Statistics s = stats;
        s.CurrentStat.KeysPressed = 10;
        bool failed = false;
        try {
            SaveStatistics(s, disk, kPath);
        } catch (const FileError&) {
            failed = true;
        }
        EXPECT_EQ(disk.files.size(), 1u) << "temporary file left after step " << failAt;
        Statistics reloaded;
        LoadStatistics(reloaded, disk, kPath, calendar, nullptr);
        EXPECT_EQ(reloaded.CommonStat.KeysPressed, failed ? 15234 : 15244) << failAt;
        // The merge is done either way: the next save writes everything.
        EXPECT_EQ(s.CommonStat.KeysPressed, 15244);
        if (!failed) {
            EXPECT_GE(failAt, 6);  // create, write, flush, close, replace all passed
            break;
        }
    }
}

TEST_F(StatFileTest, FigureAtTheLimitIsSavedThereAndTheFileStaysReadable) {
    Load(kWorkedExample);
    stats.CommonStat.MousePixels = 2147483000;
    stats.CurrentStat.MousePixels = 1000;
    stats.CurrentStat.KeysPressed = 20;
    EXPECT_EQ(SaveStatistics(stats, files, kPath).size(), 1u);
    const std::string saved = files.files[kPath];
    EXPECT_EQ(saved.substr(0, 27), "15254\r\n812.37\r\n2147483647\r\n");

    // Such a file loads, and saves again byte for byte.
    Statistics again;
    LoadStatistics(again, files, kPath, calendar, nullptr);
    EXPECT_EQ(again.CommonStat.MousePixels, 2147483647);
    SaveStatistics(again, files, kPath);
    EXPECT_EQ(files.files[kPath], saved);
}

}  // namespace
}  // namespace qm
