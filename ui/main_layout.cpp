#include "ui/main_layout.h"

#include <algorithm>
#include <array>

#include "core/identity.h"
#include "ui/contacts.h"

namespace qm::ui {

namespace {

using namespace main_ids;
constexpr Colour kButtonFace = Colour::System(Colour::Type::ButtonFace);
constexpr Font kUnderlined{.underline = true};

// The window's own controls and timers, in the order they are made.
constexpr Widget kTopLevel[] = {
    // First in the tab order: it holds the focus, below the window where it is never seen.
    {.id = cmdFocus, .name = "cmdFocus", .kind = Kind::Button, .caption = "Command1", .rect = {240, 8080, 75, 255},
     .tabStop = true},
    {.id = txtSite, .name = "txtSite", .kind = Kind::LinkBox, .caption = kSiteHost, .rect = {2040, 4080, 3855, 555},
     .font = {.points = 24, .bold = true, .underline = true}, .fore = Colour::Rgb(0, 0, 255), .back = kButtonFace,
     .align = Align::Center, .handCursor = true},
    {.id = tmrCounter, .name = "tmrCounter", .kind = Kind::Timer, .intervalMs = 1000},
    {.id = picTrayHook, .name = "picTrayHook", .kind = Kind::Picture, .rect = {6600, 0, 300, 300}, .visible = false,
     .image = Image::TrayIcon},
    {.id = tmrSaving, .name = "tmrSaving", .kind = Kind::Timer, .intervalMs = 60000},
    {.id = frmThisRunStat, .name = "frmThisRunStat", .kind = Kind::GroupBox, .caption = "Current statistics",
     .rect = {120, 120, 3975, 3255}, .font = {.bold = true}},
    {.id = frmAllStat, .name = "frmAllStat", .kind = Kind::GroupBox, .caption = "Common statistics",
     .rect = {4200, 120, 3975, 3255}, .font = {.bold = true}},
    {.id = lblAdvertising2, .name = "lblAdvertising2", .caption = "download last version",
     .rect = {3360, 3720, 4335, 495}, .font = {.points = 18, .bold = true}, .fore = Colour::Rgb(192, 0, 0),
     .transparent = true},
    {.id = lblAdvertising1, .name = "lblAdvertising1", .caption = "Visit our website", .rect = {240, 3360, 5175, 495},
     .font = {.face = "Arial", .points = 24, .bold = true, .italic = true}, .fore = Colour::Rgb(0, 0, 192),
     .transparent = true},
};

// One statistics box's picFrame and the labels inside. The all-time box's
// values are wider, and its keys value stands 8 px higher.
constexpr std::array<Widget, 1 + kStatLabels> StatBox(int box) {
    const int frame = picFrame0 + box, value = box == 0 ? 975 : 1305, pushedTop = box == 0 ? 2280 : 2160;
    const auto id = [box](StatLabel label) { return StatLabelId(box, label); };
    return {{
        {.id = frame, .name = "picFrame", .index = box, .kind = Kind::Panel,
         .parent = box == 0 ? frmThisRunStat : frmAllStat, .rect = {120, 240, 3735, 2895}, .back = kButtonFace},
        {.id = id(TimeCap), .name = box == 0 ? "lblCurTimeCap" : "lblAllTimeCap", .parent = frame,
         .caption = "Passed Time:", .rect = {0, 120, 1575, 255}},
        {.id = id(Time), .name = box == 0 ? "lblCurTime" : "lblAllTime", .parent = frame, .caption = "-",
         .rect = {1560, 120, 1575, 255}},
        {.id = id(MouseStatCap), .name = "lblMouseStatCap", .index = box, .parent = frame,
         .caption = "Mouse statistics:", .rect = {0, 480, 3495, 255}, .font = kUnderlined, .align = Align::Center},
        {.id = id(MousePixelsCap), .name = "lblMousePixelsCap", .index = box, .parent = frame,
         .caption = "Covered pixels on display:", .rect = {0, 840, 2535, 255}},
        {.id = id(MousePixels), .name = "lblMousePixels", .index = box, .parent = frame, .caption = "-",
         .rect = {2520, 840, value, 255}},
        {.id = id(MouseMetersCap), .name = "lblMouseMetersCap", .index = box, .parent = frame,
         .caption = "In meters:", .rect = {0, 1200, 2415, 255}},
        {.id = id(MouseMeters), .name = "lblMouseMeters", .index = box, .parent = frame, .caption = "-",
         .rect = {2520, 1200, value, 255}},
        {.id = id(MouseClicksCap), .name = "lblMouseClicksCap", .index = box, .parent = frame,
         .caption = "Mouse clicks:", .rect = {0, 1560, 2295, 255}},
        {.id = id(MouseClicks), .name = "lblMouseClicks", .index = box, .parent = frame, .caption = "-",
         .rect = {2520, 1560, value, 255}},
        {.id = id(Keyboard), .name = "lblKeyboard", .index = box, .parent = frame, .caption = "Keyboard statistics:",
         .rect = {0, 1920, 3495, 255}, .font = kUnderlined, .align = Align::Center},
        {.id = id(KeybrdPushedCap), .name = "lblKeybrdPushedCap", .index = box, .parent = frame,
         .caption = "Keys pressed:", .rect = {0, 2280, 1815, 255}},
        {.id = id(KeybrdPushed), .name = "lblKeybrdPushed", .index = box, .parent = frame, .caption = "-",
         .rect = {2040, pushedTop, 1455, 255}},
        {.id = id(KeybrdSpeedCap), .name = "lblkeybrdSpeedCap", .index = box, .parent = frame,
         .caption = "Typing speed:", .rect = {0, 2640, 2055, 255}},
        {.id = id(KeybrdSpeed), .name = "lblKeybrdSpeed", .index = box, .parent = frame, .caption = "-",
         .rect = {2040, 2640, 1455, 255}},
    }};
}

// The rows of several tables, one after another.
template <size_t... N>
constexpr std::array<Widget, (N + ...)> Joined(const std::array<Widget, N>&... parts) {
    std::array<Widget, (N + ...)> all{};
    auto at = all.begin();
    ((at = std::copy(parts.begin(), parts.end(), at)), ...);
    return all;
}

constexpr auto kWidgets = Joined(std::to_array(kTopLevel), StatBox(0), StatBox(1));

constexpr MenuItem kMenu[] = {
    {mnuFile, "mnuFile", "File"},
    {mnuFileCurReset, "mnuFileCurReset", "Reset current statistics", mnuFile},
    {mnuFileAllReset, "mnuFileAllReset", "Reset common statistics", mnuFile},
    {mnuFileSave, "mnuFileSave", "Save statistics", mnuFile},
    {mnuFileHistory, "mnuFileHistory", "History...", mnuFile},
    {mnuFileAutorun, "mnuFileAutorun", "Run at start", mnuFile},
    {0, "mnuFileSepar", "-", mnuFile},
    {mnuFileExit, "mnuFileExit", "Exit", mnuFile},
    {mnuHelp, "mnuHelp", "?"},
    {mnuHelpReadme, "mnuHelpReadme", "Help", mnuHelp},
    {0, "mnuHelpSepar", "-", mnuHelp},
    {mnuHelpAbout, "mnuHelpAbout", "About", mnuHelp},
    {mnuTray, "mnuTray", "Tray", 0, true},
    {mnuTrayShow, "mnuTrayShow", "Show", mnuTray},
    {mnuTrayResCurStat, "mnuTrayResCurStat", "Reset current statistics", mnuTray},
    {mnuTrayResAllStat, "mnuTrayResAllStat", "Reset common statistics", mnuTray},
    {mnuTrayExit, "mnuTrayExit", "Exit", mnuTray},
};

constexpr WindowLayout kLayout{
    .name = "frmMain",
    .title = QM_TITLE,
    .client = {0, 0, 8310, 4680},
    .outerWidth = kMainOuterWidthTwips,
    .outerHeight = kMainOuterHeightTwips,
    .sizable = true,
    .minimizeBox = true,
    .back = kButtonFace,
    .widgets = kWidgets,
    .menu = kMenu,
};

}  // namespace

const WindowLayout& MainLayout() { return kLayout; }

}  // namespace qm::ui
