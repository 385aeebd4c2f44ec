// The History window, frmHistory, as data.
#pragma once

#include "ui/layout.h"

namespace qm::ui {

namespace history_ids {
inline constexpr int lblFigure = 400;
inline constexpr int cboFigure = 401;
inline constexpr int lblPeriod = 402;
inline constexpr int cboPeriod = 403;
inline constexpr int picChart = 404;
inline constexpr int txtDetail = 405;
inline constexpr int cmdCopy = 406;
inline constexpr int cmdOpen = 407;
// The timer that follows the figures while the window is open.
inline constexpr int tmrFollow = 1;
}  // namespace history_ids

const WindowLayout& HistoryLayout();

}  // namespace qm::ui
