// The month files of programs and the crediting of each tick's figures to
// the program in front.
#include <gtest/gtest.h>

#include "core/programs.h"
#include "input/program_focus.h"
#include "tests/fakes.h"

namespace qm {
namespace {

const std::string kHeader = std::string(kProgramsHeader) + "\r\n";

TEST(ProgramsFile, OddNamesAndActiveSecondsReadBackAsWritten) {
    const std::vector<ProgramRow> rows = {
        {"2026-12-07", kNoProgram, kNoProgram, {0, 0, 120, 0, 0, 0, 12500}},
        {"2026-12-07", "my, \"app\".exe", "\xD0\x9C\xD0\xBE\xD0\xB9, app", {1, 2, 3, 4, 0.5, 0.25, 60}},
        {"2026-12-08", "notepad.exe", "Notepad", {520, 110, 30211, 402, 101.5, 12.02, 1830420}},
    };
    const std::string text = ProgramsText(rows);
    EXPECT_EQ(text, kHeader +
                        "2026-12-07,(no program),(no program),0,0,120,0,0,0,12.5\r\n"
                        "2026-12-07,\"my, \"\"app\"\".exe\",\"\xD0\x9C\xD0\xBE\xD0\xB9, app\",1,2,3,4,0.5,0.25,0.06\r\n"
                        "2026-12-08,notepad.exe,Notepad,520,110,30211,402,101.5,12.02,1830.42\r\n");
    EXPECT_EQ(ParsePrograms(text, "2026-12"), rows);
    // Names from the system are cleaned before they are counted under.
    EXPECT_EQ(CleanProgramText("  a\r\nb\t "), "a  b");
    EXPECT_EQ(CleanProgramText(std::string(kLongestProgramText - 1, 'x') + "\xD0\x9C"),
              std::string(kLongestProgramText - 1, 'x'));
}

TEST(ProgramsFile, AddingKeepsOtherRowsAndTheNameARowHas) {
    const std::string text = kHeader + "2026-12-07,b.exe,Bee,1,0,0,0,0,0,1\r\n" + "2026-12-08,a.exe,A,1,1,1,1,1,1,1.001\r\n";
    OwedRows added;
    added[{"2026-12-07", kWholeDay, 0, "a.exe", "A"}] = {2, 0, 0, 0, 0, 0, 500};
    added[{"2026-12-07", kWholeDay, 0, "b.exe", "Bee 2"}] = {3, 0, 0, 0, 0, 0, 500};
    added[{"2026-12-09", kWholeDay, 0, "c.exe", ""}] = {1, 0, 0, 0, 0, 0, 0};
    added[{"2026-12-09", kWholeDay, 0, "d.exe", " D\t"}] = {1, 0, 0, 0, 0, 0, 0};  // written as it reads back
    EXPECT_EQ(ProgramsWithAdded(text, "2026-12", added),
              kHeader + "2026-12-07,a.exe,A,2,0,0,0,0,0,0.5\r\n2026-12-07,b.exe,Bee,4,0,0,0,0,0,1.5\r\n" +
                  "2026-12-08,a.exe,A,1,1,1,1,1,1,1.001\r\n2026-12-09,c.exe,c.exe,1,0,0,0,0,0,0\r\n" +
                  "2026-12-09,d.exe,D,1,0,0,0,0,0,0\r\n");
}

TEST(ProgramsFile, DamagedRowsAreRefused) {
    for (const char* row : {
             "2026-12-07,a\"b.exe,A,1,0,0,0,0,0,0",       // a quote in a field not quoted
             "2026-12-07,\"a.exe,A,1,0,0,0,0,0,0",        // a quote never closed
             "2026-12-07,\"a\"x,A,1,0,0,0,0,0,0",         // text after the closing quote
             "2026-12-07,a.exe,\" A\",1,0,0,0,0,0,0",     // a blank at an end
             "2026-12-07,,A,1,0,0,0,0,0,0",               // no program
             "2026-12-07,a.exe,A,1,0,0,0,0,0,0.0001",     // finer than a millisecond
             "2026-12-07,a.exe,A,1,0,0,0,0,0,-1",         // less than no time
             "2026-12-07,a.exe,A,1,0,0,0,0,0",            // a figure missing
             "2026-11-30,a.exe,A,1,0,0,0,0,0,0",          // another month
         })
        EXPECT_THROW(ParsePrograms(kHeader + row + "\r\n", "2026-12"), HistoryFormatError) << row;
    EXPECT_THROW(ParsePrograms(kHeader + "2026-12-07,b.exe,B,1,0,0,0,0,0,0\r\n2026-12-07,a.exe,A,1,0,0,0,0,0,0\r\n",
                               "2026-12"),
                 HistoryFormatError);
    // The largest active time a sum stops at reads back.
    const std::vector<ProgramRow> largest = {{"2026-12-07", "a.exe", "A", {0, 0, 0, 0, 0, 0, INT64_MAX}}};
    EXPECT_EQ(ParsePrograms(ProgramsText(largest), "2026-12"), largest);
}

struct Crediting : ::testing::Test {
    HourLedger ledger;
    ProgramFocus focus;
    test::FakeForeground foreground;
    DayFigures figures;
    uint32_t now = 0;

    // A tick at `ms` that counted `keys` keys and `pixels` pixels.
    void Tick(uint32_t ms, int keys, int pixels = 0) {
        const DayFigures before = figures;
        figures.KeysPressed += keys;
        figures.MousePixels += pixels;
        CreditProgram(focus, ledger, before, figures, foreground, ms);
    }
    const DayFigures& Of(const std::string& program) { return ledger.programs[program].figures; }
};

TEST_F(Crediting, EachTickGoesToTheProgramInFrontAndOnlyChangesAreLookedUp) {
    Tick(0, 0);  // counted nothing: nothing asked
    EXPECT_EQ(foreground.windowCalls, 0);
    Tick(60, 2);
    Tick(120, 1, 30);
    Tick(180, 0);
    foreground.programs[200] = {"calc.exe", "Calculator"};
    foreground.window = {2, 200};  // the window in front changed between two ticks
    Tick(240, 5);
    EXPECT_EQ(foreground.windowCalls, 3);
    EXPECT_EQ(foreground.lookups, (std::vector<uint32_t>{100, 200}));
    EXPECT_EQ(Of("notepad.exe").KeysPressed, 3);
    EXPECT_EQ(Of("notepad.exe").MousePixels, 30);
    EXPECT_EQ(Of("calc.exe").KeysPressed, 5);
    EXPECT_EQ(ledger.programs["calc.exe"].name, "Calculator");
    // Active: the 60 ms between notepad's two ticks; the switch's gap is no one's.
    EXPECT_EQ(Of("notepad.exe").PassedSeconds, 60);
    EXPECT_EQ(Of("calc.exe").PassedSeconds, 0);
}

TEST_F(Crediting, ActiveGapsStopAtAMinute) {
    Tick(1000, 1);
    Tick(31000, 1);
    Tick(31000 + 3600000, 1);  // an hour away
    Tick(31000 + 3600000 + 100, 1);
    EXPECT_EQ(Of("notepad.exe").PassedSeconds, 30000 + kLongestActiveGapMs + 100);
}

TEST_F(Crediting, NoWindowAndUnnamedProcessesHaveNamesOfTheirOwn) {
    foreground.window = {};
    Tick(0, 1);
    EXPECT_TRUE(foreground.lookups.empty());
    foreground.window = {3, 300};  // protected: cannot be named
    Tick(60, 1);
    foreground.programs[400] = {"tool.exe", ""};
    foreground.window = {4, 400};
    Tick(120, 1);
    EXPECT_EQ(Of(kNoProgram).KeysPressed, 1);
    EXPECT_EQ(Of(kUnknownProgram).KeysPressed, 1);
    EXPECT_EQ(ledger.programs["tool.exe"].name, "tool.exe");
}

}  // namespace
}  // namespace qm
