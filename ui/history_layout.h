// The History window, frmHistory, as a table.
#pragma once

#include "ui/history_sources.h"
#include "ui/layout.h"

namespace qm::ui {

// Control and timer ids of the History window.
namespace history_ids {
enum Id : int {
    lblFigure = 400, cboFigure, lblPeriod, cboPeriod, picChart, txtDetail, cmdCopy, cmdOpen,
    tabView, lblHoursFigure, cboHoursFigure, lblHoursPeriod, cboHoursPeriod, picHours, txtHoursDetail, cmdHoursCopy,
    lblKeysPeriod, cboKeysPeriod, picKeys, txtKeysDetail, cmdKeysCopy,
    lblProgramsFigure, cboProgramsFigure, lblProgramsPeriod, cboProgramsPeriod, picPrograms, txtProgramsDetail,
    cmdProgramsCopy,
    lblScreenWhat, cboScreenWhat, lblScreenPeriod, cboScreenPeriod, picScreen, txtScreenDetail, cmdScreenCopy,
    cmdScreenSave,
    tmrFollow = 1,  // the timer that follows the figures while the window is open
};
}  // namespace history_ids

const WindowLayout& HistoryLayout();

}  // namespace qm::ui
