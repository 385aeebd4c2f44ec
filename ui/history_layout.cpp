#include "ui/history_layout.h"

#include "core/identity.h"
#include "ui/chart_text.h"

namespace qm::ui {

namespace {

using namespace history_ids;
constexpr uint8_t kBottomRight = AnchorRight | AnchorBottom;

// In the order Tab goes; each list follows the label that names it. The
// chart takes what the window grows by.
constexpr Widget kWidgets[] = {
    {.id = lblFigure, .name = "lblFigure", .caption = "Figure:", .rect = {120, 180, 735, 255}},
    {.id = cboFigure, .name = "cboFigure", .kind = Kind::ComboBox, .rect = {870, 120, 2850, 315}, .tabStop = true,
     .items = kFigureNames},
    {.id = lblPeriod, .name = "lblPeriod", .caption = "Period:", .rect = {3900, 180, 735, 255}},
    {.id = cboPeriod, .name = "cboPeriod", .kind = Kind::ComboBox, .rect = {4650, 120, 2250, 315}, .tabStop = true,
     .items = kPeriodNames},
    {.id = picChart, .name = "picChart", .kind = Kind::Chart, .rect = {120, 570, 10560, 4560}, .tabStop = true,
     .anchors = kAnchorAll},
    {.id = txtDetail, .name = "txtDetail", .kind = Kind::TextBox, .rect = {120, 5220, 10560, 300}, .tabStop = true,
     .anchors = AnchorLeft | kBottomRight},
    {.id = cmdCopy, .name = "cmdCopy", .kind = Kind::Button, .caption = "Copy", .rect = {7800, 5760, 1320, 390},
     .tabStop = true, .anchors = kBottomRight},
    {.id = cmdOpen, .name = "cmdOpen", .kind = Kind::Button, .caption = "Open file", .rect = {9240, 5760, 1440, 390},
     .tabStop = true, .anchors = kBottomRight},
    {.id = tmrFollow, .name = "tmrFollow", .kind = Kind::Timer, .intervalMs = 1000},
};

constexpr WindowLayout kLayout{
    .name = "frmHistory",
    .title = QM_PRODUCT " history",
    .client = {0, 0, 10800, 6270},  // 720 x 418 pixels at 96 dpi
    .sizable = true,
    .minimizeBox = true,
    .maximizeBox = true,
    .minClientWidth = 7200,
    .minClientHeight = 4500,
    .back = Colour::System(Colour::Type::ButtonFace),
    .widgets = kWidgets,
};

}  // namespace

const WindowLayout& HistoryLayout() { return kLayout; }

}  // namespace qm::ui
