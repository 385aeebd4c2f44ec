// What the History window's tabs read, and the keys their charts take.
#pragma once

#include "app/app_state.h"
#include "app/services.h"
#include "core/platform/date_format.h"
#include "core/platform/keyboard_layout.h"
#include "core/platform/number_format.h"

namespace qm::ui {

// The History window's tabs, in order.
enum HistoryTab : int { kDaysTab = 0, kHoursTab = 1, kKeysTab = 2, kProgramsTab = 3, kScreenTab = 4 };
inline constexpr int kHistoryTabs = 5;

// The keys that move along the bars once a chart has the focus.
enum class ChartKey { Left, Right, Up, Down, Home, End };

// What the History window reads: the run's figures, the files of the history
// beside the program, today's date and the user's regional formats. It
// writes nothing.
struct HistorySources {
    const AppState& app;
    const ProgramFolder& folder;
    const Calendar& calendar;
    const NumberFormat& numbers;
    const DateFormat& dates;
    const KeyboardLayout* keyboard = nullptr;  // the user's; none: the drawing's US keys
};

}  // namespace qm::ui
