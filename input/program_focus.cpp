#include "input/program_focus.h"

#include "core/programs.h"

namespace qm {

void CreditProgram(ProgramFocus& focus, HourLedger& ledger, const DayFigures& before, const DayFigures& after,
                   Foreground& foreground, uint32_t nowMs) {
    DayFigures counted;
    counted.KeysPressed = after.KeysPressed - before.KeysPressed;
    counted.MouseClicks = after.MouseClicks - before.MouseClicks;
    counted.MousePixels = after.MousePixels - before.MousePixels;
    counted.LettersTyped = after.LettersTyped - before.LettersTyped;
    counted.TypingSeconds = after.TypingSeconds - before.TypingSeconds;
    counted.OtherKeysSeconds = after.OtherKeysSeconds - before.OtherKeysSeconds;
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
