#include "input/program_focus.h"

#include "core/programs.h"

namespace qm {

void CreditProgram(ProgramFocus& focus, HourLedger& ledger, const DayFigures& before, const DayFigures& after,
                   Foreground& foreground, uint32_t nowMs) {
    DayFigures counted = Difference(after, before);
    counted.PassedSeconds = 0;  // the run clock's, not the tick's; a program's is its active time
    if (counted.IsZero()) return;  // the tick counted nothing: nothing is asked

    const ForegroundWindow window = foreground.Window();
    if (!focus.known || window != focus.window) {
        focus.known = true;
        focus.window = window;
        if (window.window == 0) {
            focus.program = focus.name = kNoProgram;
        } else {
            ProgramName found = foreground.NameOf(window);
            focus.program = CleanProgramText(found.program);
            focus.name = CleanProgramText(found.name);
            if (focus.program.empty()) focus.program = focus.name = kUnknownProgram;
            if (focus.name.empty()) focus.name = focus.program;
        }
    }
    if (focus.haveCounted && focus.countedProgram == focus.program) {
        const uint32_t gap = nowMs - focus.countedMs;
        counted.PassedSeconds = gap < kLongestActiveGapMs ? gap : kLongestActiveGapMs;
    }
    focus.haveCounted = true;
    focus.countedMs = nowMs;
    focus.countedProgram = focus.program;

    ProgramShare& share = ledger.programs[focus.program];
    if (share.name.empty()) share.name = focus.name;
    share.figures += counted;
}

}  // namespace qm
