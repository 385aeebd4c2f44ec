// The window tables against the stated values, and the rules every table keeps.
#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>
#include <vector>

#include "core/identity.h"
#include "ui/about_layout.h"
#include "ui/history_layout.h"
#include "ui/contacts.h"
#include "ui/main_layout.h"

namespace qm::ui {
namespace {

const WindowLayout& M() { return MainLayout(); }

Rect R(const WindowLayout& l, int id) {
    const Widget* w = l.Find(id);
    EXPECT_NE(w, nullptr) << id;
    return w ? w->rect : Rect{};
}

std::vector<std::string> Texts(std::span<const char* const> items) { return {items.begin(), items.end()}; }

const WindowLayout* const kWindows[] = {&MainLayout(), &AboutLayout(), &HistoryLayout()};

// Where a control lies in the client area at this dpi once the window has
// grown by (dx, dy) pixels: the corners of the rows it lies in added up, the
// window's edges followed.
PixelBox Placed(const WindowLayout& l, const Widget& w, int dpi, int dx, int dy) {
    const PixelBox own{TwipsToPixels(w.rect.left, dpi), TwipsToPixels(w.rect.top, dpi),
                       TwipsToPixels(w.rect.width, dpi), TwipsToPixels(w.rect.height, dpi)};
    if (w.parent == 0) return Anchored(own, w.anchors, dx, dy);
    const PixelBox outer = Placed(l, *l.Find(w.parent), dpi, dx, dy);
    return {outer.left + own.left, outer.top + own.top, own.width, own.height};
}

TEST(TwipsToPixels, FifteenTwipsPerPixelAt96DpiAndScaledAbove) {
    EXPECT_EQ(TwipsToPixels(8430, 96), 562);
    EXPECT_EQ(TwipsToPixels(5490, 96), 366);
    EXPECT_EQ(TwipsToPixels(8080, 96), 539);  // 538.7
    EXPECT_EQ(TwipsToPixels(-120, 96), -8);
    EXPECT_EQ(TwipsToPixels(8430, 144), 843);
    EXPECT_EQ(TwipsToPixels(255, 144), 26);  // 25.5 rounds away from zero
}

TEST(MainLayout, WindowAndDirectChildren) {
    using namespace main_ids;
    EXPECT_EQ(M().title, "Velturn Quillmark");
    EXPECT_EQ(M().client.width, 8310);
    EXPECT_EQ(M().client.height, 4680);
    EXPECT_EQ(M().outerWidth, 8430);
    EXPECT_EQ(M().outerHeight, 5490);
    EXPECT_TRUE(M().sizable);
    EXPECT_TRUE(M().minimizeBox);
    EXPECT_FALSE(M().maximizeBox);

    EXPECT_EQ(R(M(), cmdFocus), (Rect{240, 8080, 75, 255}));
    EXPECT_GT(R(M(), cmdFocus).top, M().client.height);  // never seen
    EXPECT_EQ(R(M(), txtSite), (Rect{2040, 4080, 3855, 555}));
    EXPECT_EQ(R(M(), picTrayHook), (Rect{6600, 0, 300, 300}));
    EXPECT_EQ(R(M(), frmThisRunStat), (Rect{120, 120, 3975, 3255}));
    EXPECT_EQ(R(M(), frmAllStat), (Rect{4200, 120, 3975, 3255}));
    EXPECT_EQ(R(M(), lblAdvertising2), (Rect{3360, 3720, 4335, 495}));
    EXPECT_EQ(R(M(), lblAdvertising1), (Rect{240, 3360, 5175, 495}));
    EXPECT_FALSE(M().Find(picTrayHook)->visible);
    EXPECT_EQ(M().Find(tmrCounter)->intervalMs, 1000);
    EXPECT_EQ(M().Find(tmrSaving)->intervalMs, 60000);

    // Stored order of the direct children.
    std::vector<std::string> direct;
    for (const Widget& w : M().widgets)
        if (w.parent == 0) direct.push_back(std::string(w.name));
    EXPECT_EQ(direct, (std::vector<std::string>{"cmdFocus", "txtSite", "tmrCounter", "picTrayHook", "tmrSaving",
                                                "frmThisRunStat", "frmAllStat", "lblAdvertising2",
                                                "lblAdvertising1"}));
}

TEST(MainLayout, FontsColoursAndLooks) {
    using namespace main_ids;
    const Widget* site = M().Find(txtSite);
    EXPECT_EQ(site->font, (Font{"MS Sans Serif", 24, true, false, true, 204}));
    EXPECT_EQ(site->fore, Colour::Rgb(0, 0, 255));
    EXPECT_EQ(site->align, Align::Center);
    EXPECT_TRUE(site->handCursor);
    EXPECT_EQ(site->caption, kSiteHost);
    EXPECT_EQ(M().Find(lblAdvertising1)->font, (Font{"Arial", 24, true, true, false, 204}));
    EXPECT_EQ(M().Find(lblAdvertising1)->fore, Colour::Rgb(0, 0, 192));
    EXPECT_EQ(M().Find(lblAdvertising2)->font, (Font{"MS Sans Serif", 18, true, false, false, 204}));
    EXPECT_EQ(M().Find(lblAdvertising2)->fore, Colour::Rgb(192, 0, 0));
    EXPECT_TRUE(M().Find(lblAdvertising1)->transparent);
    EXPECT_TRUE(M().Find(frmAllStat)->font.bold);
    for (const Widget& w : M().widgets) EXPECT_EQ(w.font.charset, 204) << w.name;
}

TEST(MainLayout, StatisticsLabelsInBothBoxes) {
    using namespace main_ids;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(R(M(), picFrame0 + i), (Rect{120, 240, 3735, 2895}));
        EXPECT_EQ(M().Find(picFrame0 + i)->parent, i == 0 ? frmThisRunStat : frmAllStat);
        const auto label = [i](StatLabel l) { return StatLabelId(i, l); };
        const int width = i == 0 ? 975 : 1305;
        EXPECT_EQ(R(M(), label(MouseStatCap)), (Rect{0, 480, 3495, 255}));
        EXPECT_EQ(R(M(), label(MousePixelsCap)), (Rect{0, 840, 2535, 255}));
        EXPECT_EQ(R(M(), label(MousePixels)), (Rect{2520, 840, width, 255}));
        EXPECT_EQ(R(M(), label(MouseMetersCap)), (Rect{0, 1200, 2415, 255}));
        EXPECT_EQ(R(M(), label(MouseMeters)), (Rect{2520, 1200, width, 255}));
        EXPECT_EQ(R(M(), label(MouseClicksCap)), (Rect{0, 1560, 2295, 255}));
        EXPECT_EQ(R(M(), label(MouseClicks)), (Rect{2520, 1560, width, 255}));
        EXPECT_EQ(R(M(), label(Keyboard)), (Rect{0, 1920, 3495, 255}));
        EXPECT_EQ(R(M(), label(KeybrdPushedCap)), (Rect{0, 2280, 1815, 255}));
        EXPECT_EQ(R(M(), label(KeybrdPushed)), (Rect{2040, i == 0 ? 2280 : 2160, 1455, 255}));
        EXPECT_EQ(R(M(), label(KeybrdSpeedCap)), (Rect{0, 2640, 2055, 255}));
        EXPECT_EQ(R(M(), label(KeybrdSpeed)), (Rect{2040, 2640, 1455, 255}));
        EXPECT_TRUE(M().Find(label(Keyboard))->font.underline);
        EXPECT_EQ(M().Find(label(MouseStatCap))->align, Align::Center);
    }
    EXPECT_EQ(R(M(), StatLabelId(0, TimeCap)), (Rect{0, 120, 1575, 255}));
    EXPECT_EQ(R(M(), lblAllTime), (Rect{1560, 120, 1575, 255}));
    EXPECT_EQ(M().Find(lblCurTime)->parent, picFrame0);
    EXPECT_EQ(M().Find(lblAllTime)->parent, picFrame1);
    // Every value label shows "-" until the first refresh, and each maps to a real widget.
    for (int id : kValueLabelIds) {
        const Widget* w = M().Find(id);
        ASSERT_NE(w, nullptr) << id;
        EXPECT_EQ(w->caption, "-");
    }
}

TEST(WindowTables, IdsAreUniqueAndEveryParentComesFirst) {
    for (const WindowLayout* l : kWindows) {
        std::set<int> ids;
        for (const Widget& w : l->widgets) {
            EXPECT_TRUE(w.id != 0 && ids.insert(w.id).second) << l->name << " " << w.name;
            if (w.parent == 0) continue;
            const Widget* parent = l->Find(w.parent);
            ASSERT_TRUE(parent && ids.count(w.parent)) << w.name << " before its parent";
            EXPECT_TRUE(parent->kind == Kind::GroupBox || parent->kind == Kind::Panel) << w.name;
        }
        for (const MenuItem& m : l->menu) {
            const MenuItem* parent = l->FindMenu(m.parent);
            EXPECT_TRUE(m.parent == 0 || (parent && parent->parent == 0)) << m.name;
            if (m.id == 0) continue;  // a separator
            EXPECT_TRUE(ids.insert(m.id).second) << m.name;
        }
    }
}

TEST(WindowTables, EveryControlFitsTheSmallestWindow) {
    for (const WindowLayout* l : kWindows) {
        // A sizable window's smallest client area, or the one it keeps.
        const Rect least = l->minClientWidth ? Rect{0, 0, l->minClientWidth, l->minClientHeight} : l->client;
        for (const Widget& w : l->widgets) {
            // The focus holder lies below the main window on purpose.
            if (w.kind == Kind::Timer || (l == &MainLayout() && w.id == main_ids::cmdFocus)) continue;
            for (int dpi : {96, 144}) {
                const int width = TwipsToPixels(least.width, dpi), height = TwipsToPixels(least.height, dpi);
                const PixelBox p = Placed(*l, w, dpi, width - TwipsToPixels(l->client.width, dpi),
                                          height - TwipsToPixels(l->client.height, dpi));
                EXPECT_TRUE(p.left >= 0 && p.top >= 0) << l->name << " " << w.name << " at " << dpi;
                EXPECT_LE(p.left + p.width, width) << l->name << " " << w.name << " at " << dpi;
                EXPECT_LE(p.top + p.height, height) << l->name << " " << w.name << " at " << dpi;
            }
        }
    }
}

TEST(MainLayout, MenuBarShowsFileAndQuestionMarkOnly) {
    std::vector<std::string> bar, file;
    for (const MenuItem& m : M().menu) {
        if (m.parent == 0 && !m.hidden) bar.push_back(std::string(m.caption));
        if (m.parent == main_ids::mnuFile) file.push_back(std::string(m.caption));
    }
    EXPECT_EQ(bar, (std::vector<std::string>{"File", "?"}));
    EXPECT_EQ(file, (std::vector<std::string>{"Reset current statistics", "Reset common statistics",
                                              "Save statistics", "History...", "Run at start", "-", "Exit"}));
    EXPECT_TRUE(M().FindMenu(main_ids::mnuTray)->hidden);
    EXPECT_EQ(M().FindMenu(main_ids::mnuHelpReadme)->caption, "Help");
    EXPECT_EQ(M().FindMenu(main_ids::mnuHelpAbout)->caption, "About");
}

TEST(AboutLayout, WindowWidgetsAndLinkColumn) {
    using namespace about_ids;
    const WindowLayout& a = AboutLayout();
    EXPECT_EQ(a.title, "About");
    EXPECT_EQ(a.client.width, 5910);
    EXPECT_EQ(a.client.height, 5535);
    EXPECT_FALSE(a.sizable);
    EXPECT_TRUE(a.centred);
    EXPECT_EQ(a.back, Colour::Rgb(255, 255, 255));
    EXPECT_EQ(R(a, cmdBack), (Rect{120, 4920, 5655, 495}));
    EXPECT_EQ(R(a, frmMain), (Rect{120, 120, 5655, 4695}));
    EXPECT_EQ(R(a, picMainLogo), (Rect{120, 240, 5415, 4335}));
    // The logo's top 8 px lie above its parent's edge.
    EXPECT_EQ(R(a, picLogo), (Rect{120, -120, 5100, 2775}));
    EXPECT_EQ(R(a, lblVersion), (Rect{2760, 2760, 1455, 255}));
    EXPECT_EQ(R(a, lblVersionCap), (Rect{2040, 2760, 735, 255}));
    EXPECT_EQ(R(a, lblCopyright), (Rect{0, 3240, 5415, 255}));
    // The three links end in one column.
    for (int link : {txtSite, txtMail, txtICQ}) {
        Rect r = R(a, link);
        EXPECT_EQ(r.left + r.width, 4335) << link;
        EXPECT_TRUE(a.Find(link)->handCursor);
        EXPECT_EQ(a.Find(link)->fore, Colour::Rgb(0, 0, 255));
    }
    EXPECT_EQ(a.Find(txtSite)->align, Align::Right);
    EXPECT_FALSE(a.Find(txtICQ)->font.underline);
    EXPECT_TRUE(a.Find(txtMail)->font.underline);
    for (const Widget& w : a.widgets) EXPECT_EQ(w.font, (Font{"MS Sans Serif", 8.25, true, false, w.font.underline, 204}));
}

TEST(Links, TargetsMatchWhatTheBoxesShow) {
    EXPECT_EQ(SiteLink(), std::string("http://") + kSiteHost + "/?velturnquillmark" QM_VERSION_SHORT);
    EXPECT_EQ(MailLink(), "mailto:" + std::string(AboutLayout().Find(about_ids::txtMail)->caption));
    EXPECT_NE(IcqLink().find("uin=" + std::string(AboutLayout().Find(about_ids::txtICQ)->caption) + "&action=message"),
              std::string::npos);
}


TEST(HistoryLayout, ChoicesChartDetailAndButtonsInTabOrderFollowingTheWindowsSize) {
    using namespace history_ids;
    const WindowLayout& h = HistoryLayout();
    EXPECT_EQ(h.title, "Quillmark history");
    EXPECT_TRUE(h.sizable);
    EXPECT_GT(h.minClientWidth, 0);
    EXPECT_LE(h.minClientWidth, h.client.width);
    EXPECT_LE(h.minClientHeight, h.client.height);
    std::vector<std::string> tabs;
    for (const Widget& w : h.widgets)
        if (w.tabStop) tabs.push_back(std::string(w.name));
    EXPECT_EQ(tabs, (std::vector<std::string>{"tabView", "cboFigure", "cboPeriod", "picChart", "txtDetail", "cmdCopy",
                                              "cmdOpen", "cboHoursFigure", "cboHoursPeriod", "picHours",
                                              "txtHoursDetail", "cmdHoursCopy", "cboKeysPeriod", "picKeys",
                                              "txtKeysDetail", "cmdKeysCopy", "cboProgramsFigure",
                                              "cboProgramsPeriod", "picPrograms", "txtProgramsDetail",
                                              "cmdProgramsCopy", "cboScreenWhat", "cboScreenPeriod", "picScreen",
                                              "txtScreenDetail", "cmdScreenCopy", "cmdScreenSave"}));
    EXPECT_EQ(Texts(h.Find(tabView)->items),
              (std::vector<std::string>{"Days", "Hours", "Keys", "Programs", "Screen"}));
    EXPECT_EQ(Texts(h.Find(cboScreenWhat)->items), (std::vector<std::string>{"Travel", "Clicks (all buttons)",
                                                                             "Left clicks", "Right clicks",
                                                                             "Middle clicks"}));
    EXPECT_EQ(h.Find(cmdScreenSave)->caption, "Save picture...");
    EXPECT_EQ(Texts(h.Find(cboKeysPeriod)->items),
              (std::vector<std::string>{"Today", "Last 7 days", "Last 30 days", "Last 12 months", "All time"}));
    EXPECT_EQ(Texts(h.Find(cboProgramsPeriod)->items), Texts(h.Find(cboKeysPeriod)->items));
    EXPECT_EQ(Texts(h.Find(cboProgramsFigure)->items),
              (std::vector<std::string>{"Keys pressed", "Mouse clicks", "Meters", "Letters typed", "Typing speed",
                                        "Active time"}));
    EXPECT_EQ(Texts(h.Find(cboFigure)->items),
              (std::vector<std::string>{"Keys pressed", "Mouse clicks", "Meters of mouse travel", "Letters typed",
                                        "Typing speed", "Time measured (hours)"}));
    EXPECT_EQ(Texts(h.Find(cboHoursFigure)->items), Texts(h.Find(cboFigure)->items));
    EXPECT_EQ(Texts(h.Find(cboPeriod)->items), (std::vector<std::string>{"Last 30 days", "Last 12 months", "All years"}));
    EXPECT_EQ(Texts(h.Find(cboHoursPeriod)->items),
              (std::vector<std::string>{"Today", "Yesterday", "Last 7 days", "Last 30 days", "All time"}));
    EXPECT_EQ(h.Find(cmdCopy)->caption, "Copy");
    EXPECT_EQ(h.Find(cmdHoursCopy)->caption, "Copy");
    EXPECT_EQ(h.Find(cmdProgramsCopy)->caption, "Copy");
    EXPECT_EQ(h.Find(cmdOpen)->caption, "Open file");
    EXPECT_EQ(h.Find(tmrFollow)->intervalMs, 1000);
    // Every control of a tab lies on the tab control's page, below its strip
    // of tabs (a line of text and a margin), and none overlaps another of its tab.
    const Rect page = h.Find(tabView)->rect;
    for (const Widget& w : h.widgets) {
        if (w.kind == Kind::Timer || w.id == tabView) continue;
        EXPECT_GE(w.tab, 0) << w.name;
        EXPECT_GE(w.rect.left, page.left + 120) << w.name;
        EXPECT_GE(w.rect.top, page.top + 450) << w.name;
        EXPECT_LE(w.rect.left + w.rect.width, page.left + page.width - 120) << w.name;
        EXPECT_LE(w.rect.top + w.rect.height, page.top + page.height - 120) << w.name;
        for (const Widget& v : h.widgets) {
            if (&v == &w || v.kind == Kind::Timer || v.tab != w.tab) continue;
            const bool apart = w.rect.left + w.rect.width <= v.rect.left || v.rect.left + v.rect.width <= w.rect.left ||
                               w.rect.top + w.rect.height <= v.rect.top || v.rect.top + v.rect.height <= w.rect.top;
            EXPECT_TRUE(apart) << w.name << " overlaps " << v.name;
        }
    }
}

TEST(Anchored, StretchesBetweenAnchoredEdgesAndFollowsALoneOne) {
    const PixelBox r{10, 20, 100, 50};
    EXPECT_EQ(Anchored(r, kAnchorTopLeft, 30, 40), r);
    EXPECT_EQ(Anchored(r, kAnchorAll, 30, 40), (PixelBox{10, 20, 130, 90}));
    EXPECT_EQ(Anchored(r, AnchorRight | AnchorBottom, 30, 40), (PixelBox{40, 60, 100, 50}));
    EXPECT_EQ(Anchored(r, AnchorLeft | AnchorRight | AnchorBottom, -30, -40), (PixelBox{10, -20, 70, 50}));
    EXPECT_EQ(Anchored(r, kAnchorAll, -500, -500), (PixelBox{10, 20, 0, 0}));  // never a negative size
}

}  // namespace
}  // namespace qm::ui
