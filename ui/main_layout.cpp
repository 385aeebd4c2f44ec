#include "ui/main_layout.h"

#include "core/display.h"
#include "core/identity.h"
#include "ui/contacts.h"

namespace qm::ui {

namespace {

using T = Colour::Type;

Widget Make(std::string name, int index, Kind kind, std::string parent, int parentIndex, std::string caption,
            Rect rect) {
    Widget w;
    w.name = std::move(name);
    w.index = index;
    w.kind = kind;
    w.parent = std::move(parent);
    w.parentIndex = parentIndex;
    w.caption = std::move(caption);
    w.rect = rect;
    return w;
}

// One statistics group box: its picFrame and the labels inside.
void AddStatLabels(std::vector<Widget>& out, int i) {
    const int valueWidth = i == 0 ? 975 : 1305;  // the all-time column is wider
    const int pushedTop = i == 0 ? 2280 : 2160;  // and its keys value stands 8 px higher
    int id = main_ids::LabelBase(i);
    auto label = [&](std::string name, bool arrayMember, std::string caption, Rect rect) -> Widget& {
        Widget w = Make(std::move(name), arrayMember ? i : -1, Kind::Label, "picFrame", i, std::move(caption), rect);
        w.id = id++;
        out.push_back(std::move(w));
        return out.back();
    };
    label(i == 0 ? "lblCurTimeCap" : "lblAllTimeCap", false, "Passed Time:", {0, 120, 1575, 255});
    label(i == 0 ? "lblCurTime" : "lblAllTime", false, "-", {1560, 120, 1575, 255});
    Widget& mouse = label("lblMouseStatCap", true, "Mouse statistics:", {0, 480, 3495, 255});
    mouse.align = Align::Center;
    mouse.font.underline = true;
    label("lblMousePixelsCap", true, "Covered pixels on display:", {0, 840, 2535, 255});
    label("lblMousePixels", true, "-", {2520, 840, valueWidth, 255});
    label("lblMouseMetersCap", true, "In meters:", {0, 1200, 2415, 255});
    label("lblMouseMeters", true, "-", {2520, 1200, valueWidth, 255});
    label("lblMouseClicksCap", true, "Mouse clicks:", {0, 1560, 2295, 255});
    label("lblMouseClicks", true, "-", {2520, 1560, valueWidth, 255});
    Widget& keyboard = label("lblKeyboard", true, "Keyboard statistics:", {0, 1920, 3495, 255});
    keyboard.align = Align::Center;
    keyboard.font.underline = true;
    label("lblKeybrdPushedCap", true, "Keys pressed:", {0, 2280, 1815, 255});
    label("lblKeybrdPushed", true, "-", {2040, pushedTop, 1455, 255});
    label("lblkeybrdSpeedCap", true, "Typing speed:", {0, 2640, 2055, 255});
    label("lblKeybrdSpeed", true, "-", {2040, 2640, 1455, 255});
}

WindowLayout Build() {
    WindowLayout l;
    l.name = "frmMain";
    l.title = QM_TITLE;
    l.client = {0, 0, 8310, 4680};
    l.outerWidth = kMainOuterWidthTwips;
    l.outerHeight = kMainOuterHeightTwips;
    l.sizable = true;
    l.minimizeBox = true;
    l.back = Colour::System(T::ButtonFace);

    auto& w = l.widgets;
    Widget focus = Make("cmdFocus", -1, Kind::Button, "", -1, "Command1", {240, 8080, 75, 255});
    focus.id = main_ids::cmdFocus;
    focus.tabStop = true;  // first in the tab order: it holds the focus
    w.push_back(focus);

    Widget site = Make("txtSite", -1, Kind::LinkBox, "", -1, kSiteHost, {2040, 4080, 3855, 555});
    site.id = main_ids::txtSite;
    site.fore = Colour::Rgb(0, 0, 255);
    site.back = Colour::System(T::ButtonFace);
    site.font = {"MS Sans Serif", 24, true, false, true};
    site.align = Align::Center;
    site.handCursor = true;
    w.push_back(site);

    Widget counter = Make("tmrCounter", -1, Kind::Timer, "", -1, "", {});
    counter.intervalMs = 1000;
    counter.id = main_ids::tmrCounter;
    w.push_back(counter);

    Widget tray = Make("picTrayHook", -1, Kind::Picture, "", -1, "", {6600, 0, 300, 300});
    tray.id = main_ids::picTrayHook;
    tray.visible = false;
    tray.image = Image::TrayIcon;
    w.push_back(tray);

    Widget saving = Make("tmrSaving", -1, Kind::Timer, "", -1, "", {});
    saving.intervalMs = 60000;
    saving.id = main_ids::tmrSaving;
    w.push_back(saving);

    for (int i = 0; i < 2; ++i) {
        Widget box = Make(i == 0 ? "frmThisRunStat" : "frmAllStat", -1, Kind::GroupBox, "", -1,
                          i == 0 ? "Current statistics" : "Common statistics",
                          {i == 0 ? 120 : 4200, 120, 3975, 3255});
        box.id = i == 0 ? main_ids::frmThisRunStat : main_ids::frmAllStat;
        box.font.bold = true;
        w.push_back(box);
    }

    Widget ad2 = Make("lblAdvertising2", -1, Kind::Label, "", -1, "download last version", {3360, 3720, 4335, 495});
    ad2.id = main_ids::lblAdvertising2;
    ad2.fore = Colour::Rgb(192, 0, 0);
    ad2.font = {"MS Sans Serif", 18, true};
    ad2.transparent = true;
    w.push_back(ad2);

    Widget ad1 = Make("lblAdvertising1", -1, Kind::Label, "", -1, "Visit our website", {240, 3360, 5175, 495});
    ad1.id = main_ids::lblAdvertising1;
    ad1.fore = Colour::Rgb(0, 0, 192);
    ad1.font = {"Arial", 24, true, true};
    ad1.transparent = true;
    w.push_back(ad1);

    for (int i = 0; i < 2; ++i) {
        Widget frame = Make("picFrame", i, Kind::Panel, i == 0 ? "frmThisRunStat" : "frmAllStat", -1, "",
                            {120, 240, 3735, 2895});
        frame.id = main_ids::picFrame0 + i;
        frame.back = Colour::System(T::ButtonFace);
        w.push_back(frame);
        AddStatLabels(w, i);
    }

    using namespace main_ids;
    l.menu = {
        {"mnuFile", "File", "", false, 0},
        {"mnuFileCurReset", "Reset current statistics", "mnuFile", false, mnuFileCurReset},
        {"mnuFileAllReset", "Reset common statistics", "mnuFile", false, mnuFileAllReset},
        {"mnuFileSave", "Save statistics", "mnuFile", false, mnuFileSave},
        {"mnuFileHistory", "History...", "mnuFile", false, mnuFileHistory},
        {"mnuFileAutorun", "Run at start", "mnuFile", false, mnuFileAutorun},
        {"mnuFileSepar", "-", "mnuFile", false, 0},
        {"mnuFileExit", "Exit", "mnuFile", false, mnuFileExit},
        {"mnuHelp", "?", "", false, 0},
        {"mnuHelpReadme", "Help", "mnuHelp", false, mnuHelpReadme},
        {"mnuHelpSepar", "-", "mnuHelp", false, 0},
        {"mnuHelpAbout", "About", "mnuHelp", false, mnuHelpAbout},
        {"mnuTray", "Tray", "", true, 0},
        {"mnuTrayShow", "Show", "mnuTray", false, mnuTrayShow},
        {"mnuTrayResCurStat", "Reset current statistics", "mnuTray", false, mnuTrayResCurStat},
        {"mnuTrayResAllStat", "Reset common statistics", "mnuTray", false, mnuTrayResAllStat},
        {"mnuTrayExit", "Exit", "mnuTray", false, mnuTrayExit},
    };
    return l;
}

}  // namespace

WidgetRef WidgetOf(ValueLabel label) {
    switch (label) {
        case ValueLabel::KeybrdPushed0: return {"lblKeybrdPushed", 0};
        case ValueLabel::MouseClicks0: return {"lblMouseClicks", 0};
        case ValueLabel::MousePixels0: return {"lblMousePixels", 0};
        case ValueLabel::MouseMeters0: return {"lblMouseMeters", 0};
        case ValueLabel::KeybrdSpeed0: return {"lblKeybrdSpeed", 0};
        case ValueLabel::KeybrdPushed1: return {"lblKeybrdPushed", 1};
        case ValueLabel::MouseClicks1: return {"lblMouseClicks", 1};
        case ValueLabel::MousePixels1: return {"lblMousePixels", 1};
        case ValueLabel::MouseMeters1: return {"lblMouseMeters", 1};
        case ValueLabel::KeybrdSpeed1: return {"lblKeybrdSpeed", 1};
        case ValueLabel::AllTime: return {"lblAllTime", -1};
        case ValueLabel::CurTime: return {"lblCurTime", -1};
    }
    return {"", -1};
}

const WindowLayout& MainLayout() {
    static const WindowLayout layout = Build();
    return layout;
}

}  // namespace qm::ui
