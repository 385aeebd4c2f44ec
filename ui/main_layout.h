// The main window, frmMain, as a table.
#pragma once

#include "core/display.h"
#include "ui/layout.h"

namespace qm::ui {

// Control, timer and menu ids of the main window.
namespace main_ids {
enum Id : int {
    cmdFocus = 100, txtSite, picTrayHook, frmThisRunStat, frmAllStat, lblAdvertising2, lblAdvertising1,
    picFrame0 = 110, picFrame1,  // picFrame(0) in frmThisRunStat, picFrame(1) in frmAllStat

    // Timers: the sampler is a system timer with id 1 on the main window.
    samplerTimer = 1, tmrCounter, tmrSaving,

    // The pop-up menus, each followed by its items' commands.
    mnuFile = 1000, mnuFileCurReset, mnuFileAllReset, mnuFileSave, mnuFileAutorun, mnuFileExit, mnuFileHistory,
    mnuHelp = 1010, mnuHelpReadme, mnuHelpAbout,
    mnuTray = 1020, mnuTrayShow, mnuTrayResCurStat, mnuTrayResAllStat, mnuTrayExit,
};

// The labels of picFrame(box), alike in both boxes, in the order they are made.
enum StatLabel : int {
    TimeCap, Time, MouseStatCap, MousePixelsCap, MousePixels, MouseMetersCap, MouseMeters, MouseClicksCap,
    MouseClicks, Keyboard, KeybrdPushedCap, KeybrdPushed, KeybrdSpeedCap, KeybrdSpeed,
};
inline constexpr int kStatLabels = KeybrdSpeed + 1;
inline constexpr int StatLabelId(int box, StatLabel label) { return 200 + 20 * box + label; }
inline constexpr int lblCurTime = StatLabelId(0, Time);
inline constexpr int lblAllTime = StatLabelId(1, Time);
}  // namespace main_ids

// Outer size of the main window in normal state, frame and menu bar included.
inline constexpr int kMainOuterWidthTwips = 8430;
inline constexpr int kMainOuterHeightTwips = 5490;

const WindowLayout& MainLayout();

// The label that shows each value, in the order of ValueLabel.
inline constexpr int kValueLabelIds[kValueLabelCount] = {
    main_ids::StatLabelId(0, main_ids::KeybrdPushed), main_ids::StatLabelId(0, main_ids::MouseClicks),
    main_ids::StatLabelId(0, main_ids::MousePixels),  main_ids::StatLabelId(0, main_ids::MouseMeters),
    main_ids::StatLabelId(0, main_ids::KeybrdSpeed),  main_ids::StatLabelId(1, main_ids::KeybrdPushed),
    main_ids::StatLabelId(1, main_ids::MouseClicks),  main_ids::StatLabelId(1, main_ids::MousePixels),
    main_ids::StatLabelId(1, main_ids::MouseMeters),  main_ids::StatLabelId(1, main_ids::KeybrdSpeed),
    main_ids::lblAllTime,                             main_ids::lblCurTime,
};

}  // namespace qm::ui
