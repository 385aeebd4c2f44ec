// The main window, frmMain, as data.
#pragma once

#include "core/display.h"
#include "ui/layout.h"

namespace qm::ui {

// Control, timer and menu command ids of the main window.
namespace main_ids {
inline constexpr int cmdFocus = 100;
inline constexpr int txtSite = 101;
inline constexpr int picTrayHook = 102;
inline constexpr int frmThisRunStat = 103;
inline constexpr int frmAllStat = 104;
inline constexpr int lblAdvertising2 = 105;
inline constexpr int lblAdvertising1 = 106;
inline constexpr int picFrame0 = 110;  // + index
// Labels inside picFrame: 200 + 20 * index + row.
inline constexpr int LabelBase(int index) { return 200 + 20 * index; }

// Timers: the sampler is a system timer with id 1 on the main window.
inline constexpr int samplerTimer = 1;
inline constexpr int tmrCounter = 2;
inline constexpr int tmrSaving = 3;

inline constexpr int mnuFileCurReset = 1001;
inline constexpr int mnuFileAllReset = 1002;
inline constexpr int mnuFileSave = 1003;
inline constexpr int mnuFileAutorun = 1004;
inline constexpr int mnuFileExit = 1005;
inline constexpr int mnuFileHistory = 1006;
inline constexpr int mnuHelpReadme = 1011;
inline constexpr int mnuHelpAbout = 1012;
inline constexpr int mnuTrayShow = 1021;
inline constexpr int mnuTrayResCurStat = 1022;
inline constexpr int mnuTrayResAllStat = 1023;
inline constexpr int mnuTrayExit = 1024;
}  // namespace main_ids

// Outer size of the main window in normal state, frame and menu bar included.
inline constexpr int kMainOuterWidthTwips = 8430;
inline constexpr int kMainOuterHeightTwips = 5490;

const WindowLayout& MainLayout();

// The label that shows a value: its name and array index.
struct WidgetRef {
    const char* name;
    int index;
};
WidgetRef WidgetOf(ValueLabel label);

}  // namespace qm::ui
