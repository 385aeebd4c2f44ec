#include "ui/history_layout.h"

#include "core/identity.h"
#include "ui/chart_text.h"
#include "ui/hours_chart.h"
#include "ui/keys_chart.h"
#include "ui/programs_chart.h"
#include "ui/screen_picture.h"

namespace qm::ui {

namespace {

using namespace history_ids;
constexpr uint8_t kBottomRight = AnchorRight | AnchorBottom;

constexpr const char* kTabNames[] = {"Days", "Hours", "Keys", "Programs", "Screen"};

// The tabs' page lies inside the tab control, 8 pixels in at 96 dpi below
// its strip of tabs. In the order Tab goes; each list follows the label that
// names it. The chart takes what the window grows by.
constexpr Widget kWidgets[] = {
    {.id = tabView, .name = "tabView", .kind = Kind::Tab, .rect = {120, 120, 10560, 6600}, .tabStop = true,
     .anchors = kAnchorAll, .items = kTabNames},
    {.id = lblFigure, .name = "lblFigure", .caption = "Figure:", .rect = {240, 630, 735, 255}, .tab = kDaysTab},
    {.id = cboFigure, .name = "cboFigure", .kind = Kind::ComboBox, .rect = {990, 570, 2850, 315}, .tabStop = true,
     .items = kFigureNames, .tab = kDaysTab},
    {.id = lblPeriod, .name = "lblPeriod", .caption = "Period:", .rect = {4020, 630, 735, 255}, .tab = kDaysTab},
    {.id = cboPeriod, .name = "cboPeriod", .kind = Kind::ComboBox, .rect = {4770, 570, 2250, 315}, .tabStop = true,
     .items = kPeriodNames, .tab = kDaysTab},
    {.id = picChart, .name = "picChart", .kind = Kind::Chart, .rect = {240, 1020, 10320, 4560}, .tabStop = true,
     .anchors = kAnchorAll, .tab = kDaysTab},
    {.id = txtDetail, .name = "txtDetail", .kind = Kind::TextBox, .rect = {240, 5670, 10320, 300}, .tabStop = true,
     .anchors = AnchorLeft | kBottomRight, .tab = kDaysTab},
    {.id = cmdCopy, .name = "cmdCopy", .kind = Kind::Button, .caption = "Copy", .rect = {7680, 6210, 1320, 390},
     .tabStop = true, .anchors = kBottomRight, .tab = kDaysTab},
    {.id = cmdOpen, .name = "cmdOpen", .kind = Kind::Button, .caption = "Open file", .rect = {9120, 6210, 1440, 390},
     .tabStop = true, .anchors = kBottomRight, .tab = kDaysTab},
    {.id = lblHoursFigure, .name = "lblHoursFigure", .caption = "Figure:", .rect = {240, 630, 735, 255},
     .tab = kHoursTab},
    {.id = cboHoursFigure, .name = "cboHoursFigure", .kind = Kind::ComboBox, .rect = {990, 570, 2850, 315},
     .tabStop = true, .items = kFigureNames, .tab = kHoursTab},
    {.id = lblHoursPeriod, .name = "lblHoursPeriod", .caption = "Period:", .rect = {4020, 630, 735, 255},
     .tab = kHoursTab},
    {.id = cboHoursPeriod, .name = "cboHoursPeriod", .kind = Kind::ComboBox, .rect = {4770, 570, 2250, 315},
     .tabStop = true, .items = kHoursPeriodNames, .tab = kHoursTab},
    {.id = picHours, .name = "picHours", .kind = Kind::Chart, .rect = {240, 1020, 10320, 4560}, .tabStop = true,
     .anchors = kAnchorAll, .tab = kHoursTab},
    {.id = txtHoursDetail, .name = "txtHoursDetail", .kind = Kind::TextBox, .rect = {240, 5670, 10320, 300},
     .tabStop = true, .anchors = AnchorLeft | kBottomRight, .tab = kHoursTab},
    {.id = cmdHoursCopy, .name = "cmdHoursCopy", .kind = Kind::Button, .caption = "Copy",
     .rect = {9240, 6210, 1320, 390}, .tabStop = true, .anchors = kBottomRight, .tab = kHoursTab},
    {.id = lblKeysPeriod, .name = "lblKeysPeriod", .caption = "Period:", .rect = {240, 630, 735, 255},
     .tab = kKeysTab},
    {.id = cboKeysPeriod, .name = "cboKeysPeriod", .kind = Kind::ComboBox, .rect = {990, 570, 2250, 315},
     .tabStop = true, .items = kKeysPeriodNames, .tab = kKeysTab},
    {.id = picKeys, .name = "picKeys", .kind = Kind::Chart, .rect = {240, 1020, 10320, 4560}, .tabStop = true,
     .anchors = kAnchorAll, .tab = kKeysTab},
    {.id = txtKeysDetail, .name = "txtKeysDetail", .kind = Kind::TextBox, .rect = {240, 5670, 10320, 300},
     .tabStop = true, .anchors = AnchorLeft | kBottomRight, .tab = kKeysTab},
    {.id = cmdKeysCopy, .name = "cmdKeysCopy", .kind = Kind::Button, .caption = "Copy",
     .rect = {9240, 6210, 1320, 390}, .tabStop = true, .anchors = kBottomRight, .tab = kKeysTab},
    {.id = lblProgramsFigure, .name = "lblProgramsFigure", .caption = "Figure:", .rect = {240, 630, 735, 255},
     .tab = kProgramsTab},
    {.id = cboProgramsFigure, .name = "cboProgramsFigure", .kind = Kind::ComboBox, .rect = {990, 570, 2850, 315},
     .tabStop = true, .items = kProgramsFigureNames, .tab = kProgramsTab},
    {.id = lblProgramsPeriod, .name = "lblProgramsPeriod", .caption = "Period:", .rect = {4020, 630, 735, 255},
     .tab = kProgramsTab},
    {.id = cboProgramsPeriod, .name = "cboProgramsPeriod", .kind = Kind::ComboBox, .rect = {4770, 570, 2250, 315},
     .tabStop = true, .items = kKeysPeriodNames, .tab = kProgramsTab},
    {.id = picPrograms, .name = "picPrograms", .kind = Kind::Chart, .rect = {240, 1020, 10320, 4560},
     .tabStop = true, .anchors = kAnchorAll, .tab = kProgramsTab},
    {.id = txtProgramsDetail, .name = "txtProgramsDetail", .kind = Kind::TextBox, .rect = {240, 5670, 10320, 300},
     .tabStop = true, .anchors = AnchorLeft | kBottomRight, .tab = kProgramsTab},
    {.id = cmdProgramsCopy, .name = "cmdProgramsCopy", .kind = Kind::Button, .caption = "Copy",
     .rect = {9240, 6210, 1320, 390}, .tabStop = true, .anchors = kBottomRight, .tab = kProgramsTab},
    // The Screen tab's periods are the months that have maps: the list is filled as the tab opens.
    {.id = lblScreenWhat, .name = "lblScreenWhat", .caption = "Show:", .rect = {240, 630, 735, 255}, .tab = kScreenTab},
    {.id = cboScreenWhat, .name = "cboScreenWhat", .kind = Kind::ComboBox, .rect = {990, 570, 2850, 315},
     .tabStop = true, .items = kScreenWhatNames, .tab = kScreenTab},
    {.id = lblScreenPeriod, .name = "lblScreenPeriod", .caption = "Period:", .rect = {4020, 630, 735, 255},
     .tab = kScreenTab},
    {.id = cboScreenPeriod, .name = "cboScreenPeriod", .kind = Kind::ComboBox, .rect = {4770, 570, 2250, 315},
     .tabStop = true, .tab = kScreenTab},
    {.id = picScreen, .name = "picScreen", .kind = Kind::Chart, .rect = {240, 1020, 10320, 4560}, .tabStop = true,
     .anchors = kAnchorAll, .tab = kScreenTab},
    {.id = txtScreenDetail, .name = "txtScreenDetail", .kind = Kind::TextBox, .rect = {240, 5670, 10320, 300},
     .tabStop = true, .anchors = AnchorLeft | kBottomRight, .tab = kScreenTab},
    {.id = cmdScreenCopy, .name = "cmdScreenCopy", .kind = Kind::Button, .caption = "Copy",
     .rect = {7440, 6210, 1320, 390}, .tabStop = true, .anchors = kBottomRight, .tab = kScreenTab},
    {.id = cmdScreenSave, .name = "cmdScreenSave", .kind = Kind::Button, .caption = "Save picture...",
     .rect = {8880, 6210, 1680, 390}, .tabStop = true, .anchors = kBottomRight, .tab = kScreenTab},
    {.id = tmrFollow, .name = "tmrFollow", .kind = Kind::Timer, .intervalMs = 1000},
};

constexpr WindowLayout kLayout{
    .name = "frmHistory",
    .title = QM_PRODUCT " history",
    .client = {0, 0, 10800, 6840},  // 720 x 456 pixels at 96 dpi
    .sizable = true,
    .minimizeBox = true,
    .maximizeBox = true,
    .minClientWidth = 7200,
    .minClientHeight = 5070,
    .back = Colour::System(Colour::Type::ButtonFace),
    .widgets = kWidgets,
};

}  // namespace

const WindowLayout& HistoryLayout() { return kLayout; }

}  // namespace qm::ui
