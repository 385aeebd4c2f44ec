#include "ui/history_layout.h"

#include "core/identity.h"
#include "ui/chart_text.h"

namespace qm::ui {

namespace {

WindowLayout Build() {
    WindowLayout l;
    l.name = "frmHistory";
    l.title = QM_PRODUCT " history";
    // 720 x 418 pixels at 96 dpi; the chart takes what the window grows by.
    l.client = {0, 0, 10800, 6270};
    l.sizable = true;
    l.minimizeBox = true;
    l.maximizeBox = true;
    l.minClientWidth = 7200;
    l.minClientHeight = 4500;
    l.back = Colour::System(Colour::Type::ButtonFace);

    auto add = [&](std::string name, Kind kind, std::string caption, Rect rect, int id,
                   uint8_t anchors = kAnchorTopLeft) -> Widget& {
        Widget w;
        w.name = std::move(name);
        w.kind = kind;
        w.caption = std::move(caption);
        w.rect = rect;
        w.id = id;
        w.anchors = anchors;
        w.tabStop = kind != Kind::Label && kind != Kind::Timer;
        l.widgets.push_back(std::move(w));
        return l.widgets.back();
    };

    using namespace history_ids;
    // In the order Tab goes; each list follows the label that names it.
    add("lblFigure", Kind::Label, "Figure:", {120, 180, 735, 255}, lblFigure);
    Widget& figures = add("cboFigure", Kind::ComboBox, "", {870, 120, 2850, 315}, cboFigure);
    for (ChartFigure f : kChartFigures) figures.items.push_back(FigureName(f));
    add("lblPeriod", Kind::Label, "Period:", {3900, 180, 735, 255}, lblPeriod);
    Widget& periods = add("cboPeriod", Kind::ComboBox, "", {4650, 120, 2250, 315}, cboPeriod);
    for (ChartPeriod p : kChartPeriods) periods.items.push_back(PeriodName(p));
    add("picChart", Kind::Chart, "", {120, 570, 10560, 4560}, picChart, kAnchorAll);
    add("txtDetail", Kind::TextBox, "", {120, 5220, 10560, 300}, txtDetail, AnchorLeft | AnchorRight | AnchorBottom);
    add("cmdCopy", Kind::Button, "Copy", {7800, 5760, 1320, 390}, cmdCopy, AnchorRight | AnchorBottom);
    add("cmdOpen", Kind::Button, "Open file", {9240, 5760, 1440, 390}, cmdOpen, AnchorRight | AnchorBottom);
    Widget& follow = add("tmrFollow", Kind::Timer, "", {}, tmrFollow);
    follow.intervalMs = 1000;
    return l;
}

}  // namespace

const WindowLayout& HistoryLayout() {
    static const WindowLayout layout = Build();
    return layout;
}

}  // namespace qm::ui
