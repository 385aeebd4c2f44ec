// The window tables against the stated values.
#include <gtest/gtest.h>

#include <set>

#include "core/identity.h"
#include "ui/about_layout.h"
#include "ui/history_layout.h"
#include "ui/contacts.h"
#include "ui/main_layout.h"

namespace qm::ui {
namespace {

const WindowLayout& M() { return MainLayout(); }

Rect R(const WindowLayout& l, const std::string& name, int index = -1) {
    const Widget* w = l.Find(name, index);
    EXPECT_NE(w, nullptr) << name << "(" << index << ")";
    return w ? w->rect : Rect{};
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
    EXPECT_EQ(M().title, "Velturn Quillmark");
    EXPECT_EQ(M().client.width, 8310);
    EXPECT_EQ(M().client.height, 4680);
    EXPECT_EQ(M().outerWidth, 8430);
    EXPECT_EQ(M().outerHeight, 5490);
    EXPECT_TRUE(M().sizable);
    EXPECT_TRUE(M().minimizeBox);
    EXPECT_FALSE(M().maximizeBox);

    EXPECT_EQ(R(M(), "cmdFocus"), (Rect{240, 8080, 75, 255}));
    EXPECT_GT(R(M(), "cmdFocus").top, M().client.height);  // never seen
    EXPECT_EQ(R(M(), "txtSite"), (Rect{2040, 4080, 3855, 555}));
    EXPECT_EQ(R(M(), "picTrayHook"), (Rect{6600, 0, 300, 300}));
    EXPECT_EQ(R(M(), "frmThisRunStat"), (Rect{120, 120, 3975, 3255}));
    EXPECT_EQ(R(M(), "frmAllStat"), (Rect{4200, 120, 3975, 3255}));
    EXPECT_EQ(R(M(), "lblAdvertising2"), (Rect{3360, 3720, 4335, 495}));
    EXPECT_EQ(R(M(), "lblAdvertising1"), (Rect{240, 3360, 5175, 495}));
    EXPECT_FALSE(M().Find("picTrayHook")->visible);
    EXPECT_EQ(M().Find("tmrCounter")->intervalMs, 1000);
    EXPECT_EQ(M().Find("tmrSaving")->intervalMs, 60000);

    // Stored order of the direct children.
    std::vector<std::string> direct;
    for (const Widget& w : M().widgets)
        if (w.parent.empty()) direct.push_back(w.name);
    EXPECT_EQ(direct, (std::vector<std::string>{"cmdFocus", "txtSite", "tmrCounter", "picTrayHook", "tmrSaving",
                                                "frmThisRunStat", "frmAllStat", "lblAdvertising2",
                                                "lblAdvertising1"}));
}

TEST(MainLayout, FontsColoursAndLooks) {
    const Widget* site = M().Find("txtSite");
    EXPECT_EQ(site->font, (Font{"MS Sans Serif", 24, true, false, true, 204}));
    EXPECT_EQ(site->fore, Colour::Rgb(0, 0, 255));
    EXPECT_EQ(site->align, Align::Center);
    EXPECT_TRUE(site->handCursor);
    EXPECT_EQ(site->caption, kSiteHost);
    EXPECT_EQ(M().Find("lblAdvertising1")->font, (Font{"Arial", 24, true, true, false, 204}));
    EXPECT_EQ(M().Find("lblAdvertising1")->fore, Colour::Rgb(0, 0, 192));
    EXPECT_EQ(M().Find("lblAdvertising2")->font, (Font{"MS Sans Serif", 18, true, false, false, 204}));
    EXPECT_EQ(M().Find("lblAdvertising2")->fore, Colour::Rgb(192, 0, 0));
    EXPECT_TRUE(M().Find("lblAdvertising1")->transparent);
    EXPECT_TRUE(M().Find("frmAllStat")->font.bold);
    for (const Widget& w : M().widgets) EXPECT_EQ(w.font.charset, 204) << w.name;
}

TEST(MainLayout, StatisticsLabelsInBothBoxes) {
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(R(M(), "picFrame", i), (Rect{120, 240, 3735, 2895}));
        EXPECT_EQ(M().Find("picFrame", i)->parent, i == 0 ? "frmThisRunStat" : "frmAllStat");
        const int width = i == 0 ? 975 : 1305;
        EXPECT_EQ(R(M(), "lblMouseStatCap", i), (Rect{0, 480, 3495, 255}));
        EXPECT_EQ(R(M(), "lblMousePixelsCap", i), (Rect{0, 840, 2535, 255}));
        EXPECT_EQ(R(M(), "lblMousePixels", i), (Rect{2520, 840, width, 255}));
        EXPECT_EQ(R(M(), "lblMouseMetersCap", i), (Rect{0, 1200, 2415, 255}));
        EXPECT_EQ(R(M(), "lblMouseMeters", i), (Rect{2520, 1200, width, 255}));
        EXPECT_EQ(R(M(), "lblMouseClicksCap", i), (Rect{0, 1560, 2295, 255}));
        EXPECT_EQ(R(M(), "lblMouseClicks", i), (Rect{2520, 1560, width, 255}));
        EXPECT_EQ(R(M(), "lblKeyboard", i), (Rect{0, 1920, 3495, 255}));
        EXPECT_EQ(R(M(), "lblKeybrdPushedCap", i), (Rect{0, 2280, 1815, 255}));
        EXPECT_EQ(R(M(), "lblKeybrdPushed", i), (Rect{2040, i == 0 ? 2280 : 2160, 1455, 255}));
        EXPECT_EQ(R(M(), "lblkeybrdSpeedCap", i), (Rect{0, 2640, 2055, 255}));
        EXPECT_EQ(R(M(), "lblKeybrdSpeed", i), (Rect{2040, 2640, 1455, 255}));
        EXPECT_TRUE(M().Find("lblKeyboard", i)->font.underline);
        EXPECT_EQ(M().Find("lblMouseStatCap", i)->align, Align::Center);
    }
    EXPECT_EQ(R(M(), "lblCurTimeCap"), (Rect{0, 120, 1575, 255}));
    EXPECT_EQ(R(M(), "lblAllTime"), (Rect{1560, 120, 1575, 255}));
    EXPECT_EQ(M().Find("lblCurTime")->parentIndex, 0);
    EXPECT_EQ(M().Find("lblAllTime")->parentIndex, 1);
    // Every value label shows "-" until the first refresh, and each maps to a real widget.
    for (int v = 0; v < kValueLabelCount; ++v) {
        WidgetRef ref = WidgetOf(static_cast<ValueLabel>(v));
        const Widget* w = M().Find(ref.name, ref.index);
        ASSERT_NE(w, nullptr) << ref.name;
        EXPECT_EQ(w->caption, "-");
    }
}

TEST(MainLayout, IdsAreUnique) {
    std::set<int> ids;
    for (const Widget& w : M().widgets) {
        if (w.kind == Kind::Timer) continue;
        EXPECT_TRUE(ids.insert(w.id).second) << w.name;
    }
    for (const MenuItem& m : M().menu) {
        if (m.id == 0) continue;
        EXPECT_TRUE(ids.insert(m.id).second) << m.name;
    }
}

TEST(MainLayout, MenuBarShowsFileAndQuestionMarkOnly) {
    std::vector<std::string> bar, file;
    for (const MenuItem& m : M().menu) {
        if (m.parent.empty() && !m.hidden) bar.push_back(m.caption);
        if (m.parent == "mnuFile") file.push_back(m.caption);
    }
    EXPECT_EQ(bar, (std::vector<std::string>{"File", "?"}));
    EXPECT_EQ(file, (std::vector<std::string>{"Reset current statistics", "Reset common statistics",
                                              "Save statistics", "History...", "Run at start", "-", "Exit"}));
    EXPECT_TRUE(M().FindMenu("mnuTray")->hidden);
    EXPECT_EQ(M().FindMenu("mnuHelpReadme")->caption, "Help");
    EXPECT_EQ(M().FindMenu("mnuHelpAbout")->caption, "About");
}

TEST(AboutLayout, WindowWidgetsAndLinkColumn) {
    const WindowLayout& a = AboutLayout();
    EXPECT_EQ(a.title, "About");
    EXPECT_EQ(a.client.width, 5910);
    EXPECT_EQ(a.client.height, 5535);
    EXPECT_FALSE(a.sizable);
    EXPECT_TRUE(a.centred);
    EXPECT_EQ(a.back, Colour::Rgb(255, 255, 255));
    EXPECT_EQ(R(a, "cmdBack"), (Rect{120, 4920, 5655, 495}));
    EXPECT_EQ(R(a, "frmMain"), (Rect{120, 120, 5655, 4695}));
    EXPECT_EQ(R(a, "picMainLogo"), (Rect{120, 240, 5415, 4335}));
    // The logo's top 8 px lie above its parent's edge.
    EXPECT_EQ(R(a, "picLogo"), (Rect{120, -120, 5100, 2775}));
    EXPECT_EQ(R(a, "lblVersion"), (Rect{2760, 2760, 1455, 255}));
    EXPECT_EQ(R(a, "lblVersionCap"), (Rect{2040, 2760, 735, 255}));
    EXPECT_EQ(R(a, "lblCopyright"), (Rect{0, 3240, 5415, 255}));
    // The three links end in one column.
    for (const char* link : {"txtSite", "txtMail", "txtICQ"}) {
        Rect r = R(a, link);
        EXPECT_EQ(r.left + r.width, 4335) << link;
        EXPECT_TRUE(a.Find(link)->handCursor);
        EXPECT_EQ(a.Find(link)->fore, Colour::Rgb(0, 0, 255));
    }
    EXPECT_EQ(a.Find("txtSite")->align, Align::Right);
    EXPECT_FALSE(a.Find("txtICQ")->font.underline);
    EXPECT_TRUE(a.Find("txtMail")->font.underline);
    for (const Widget& w : a.widgets) EXPECT_EQ(w.font, (Font{"MS Sans Serif", 8.25, true, false, w.font.underline, 204}));
}

TEST(Links, TargetsMatchWhatTheBoxesShow) {
    EXPECT_EQ(SiteLink(), std::string("http://") + kSiteHost + "/?velturnquillmark" QM_VERSION_SHORT);
    EXPECT_EQ(MailLink(), std::string("mailto:") + AboutLayout().Find("txtMail")->caption);
    EXPECT_NE(IcqLink().find("uin=" + AboutLayout().Find("txtICQ")->caption + "&action=message"), std::string::npos);
}


TEST(HistoryLayout, ChoicesChartDetailAndButtonsInTabOrderFollowingTheWindowsSize) {
    const WindowLayout& h = HistoryLayout();
    EXPECT_EQ(h.title, "Quillmark history");
    EXPECT_TRUE(h.sizable);
    EXPECT_GT(h.minClientWidth, 0);
    EXPECT_LE(h.minClientWidth, h.client.width);
    EXPECT_LE(h.minClientHeight, h.client.height);
    std::vector<std::string> tabs;
    for (const Widget& w : h.widgets)
        if (w.tabStop) tabs.push_back(w.name);
    EXPECT_EQ(tabs, (std::vector<std::string>{"cboFigure", "cboPeriod", "picChart", "txtDetail", "cmdCopy", "cmdOpen"}));
    EXPECT_EQ(h.Find("cboFigure")->items,
              (std::vector<std::string>{"Keys pressed", "Mouse clicks", "Meters of mouse travel", "Letters typed",
                                        "Typing speed", "Time measured (hours)"}));
    EXPECT_EQ(h.Find("cboPeriod")->items, (std::vector<std::string>{"Last 30 days", "Last 12 months", "All years"}));
    EXPECT_EQ(h.Find("cmdCopy")->caption, "Copy");
    EXPECT_EQ(h.Find("cmdOpen")->caption, "Open file");
    EXPECT_EQ(h.Find("tmrFollow")->intervalMs, 1000);
    // Every widget lies inside the client area, at its smallest too, and none overlaps another.
    for (const Widget& w : h.widgets) {
        if (w.kind == Kind::Timer) continue;
        for (int dpi : {96, 144}) {
            const int dx = TwipsToPixels(h.minClientWidth, dpi) - TwipsToPixels(h.client.width, dpi);
            const int dy = TwipsToPixels(h.minClientHeight, dpi) - TwipsToPixels(h.client.height, dpi);
            PixelBox p = Anchored({TwipsToPixels(w.rect.left, dpi), TwipsToPixels(w.rect.top, dpi),
                                   TwipsToPixels(w.rect.width, dpi), TwipsToPixels(w.rect.height, dpi)},
                                  w.anchors, dx, dy);
            EXPECT_GE(p.left, 0) << w.name;
            EXPECT_LE(p.left + p.width, TwipsToPixels(h.minClientWidth, dpi)) << w.name << " at " << dpi;
            EXPECT_LE(p.top + p.height, TwipsToPixels(h.minClientHeight, dpi)) << w.name << " at " << dpi;
        }
        for (const Widget& v : h.widgets) {
            if (&v == &w || v.kind == Kind::Timer) continue;
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
