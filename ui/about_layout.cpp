#include "ui/about_layout.h"

#include "ui/contacts.h"

namespace qm::ui {

namespace {

using T = Colour::Type;

WindowLayout Build() {
    WindowLayout l;
    l.name = "frmAbout";
    l.title = "About";
    l.client = {0, 0, 5910, 5535};
    l.centred = true;
    l.back = Colour::Rgb(255, 255, 255);
    l.font.bold = true;

    auto add = [&](std::string name, Kind kind, std::string parent, std::string caption, Rect rect,
                   int id) -> Widget& {
        Widget w;
        w.name = std::move(name);
        w.kind = kind;
        w.parent = std::move(parent);
        w.caption = std::move(caption);
        w.rect = rect;
        w.id = id;
        w.font.bold = true;  // every font of this window: MS Sans Serif 8.25 pt bold
        l.widgets.push_back(std::move(w));
        return l.widgets.back();
    };
    auto link = [&](std::string name, std::string caption, Rect rect, int id, bool underline) -> Widget& {
        Widget& w = add(std::move(name), Kind::LinkBox, "picMainLogo", std::move(caption), rect, id);
        w.fore = Colour::Rgb(0, 0, 255);
        w.back = Colour::System(T::Window);
        w.font.underline = underline;
        w.handCursor = true;
        return w;
    };
    auto label = [&](std::string name, std::string caption, Rect rect, int id) -> Widget& {
        Widget& w = add(std::move(name), Kind::Label, "picMainLogo", std::move(caption), rect, id);
        w.transparent = true;
        return w;
    };

    using namespace about_ids;
    add("cmdBack", Kind::Button, "", "Back", {120, 4920, 5655, 495}, cmdBack).tabStop = true;
    add("frmMain", Kind::GroupBox, "", "", {120, 120, 5655, 4695}, frmMain).back = Colour::System(T::CaptionText);
    add("picMainLogo", Kind::Panel, "frmMain", "", {120, 240, 5415, 4335}, picMainLogo).back =
        Colour::System(T::Window);
    add("picLogo", Kind::Picture, "picMainLogo", "", {120, -120, 5100, 2775}, picLogo).image = Image::Logo;
    link("txtSite", kSiteHost, {2400, 3480, 1935, 195}, txtSite, true).align = Align::Right;
    link("txtMail", kSupportMail, {2520, 3720, 1815, 195}, txtMail, true);
    link("txtICQ", kIcqNumber, {3360, 3960, 975, 195}, txtICQ, false);
    label("lblEmailCap", "E-mail:", {1200, 3720, 975, 255}, lblEmailCap);
    label("lblOurSiteCap", "Our website:", {1200, 3480, 1095, 255}, lblOurSiteCap);
    label("lblCopyright", kCopyright, {0, 3240, 5415, 255}, lblCopyright).align = Align::Center;
    label("lblVersion", "1.0", {2760, 2760, 1455, 255}, lblVersion);
    label("lblVersionCap", "Version:", {2040, 2760, 735, 255}, lblVersionCap);
    label("lblICQCap", "ICQ Support:", {1200, 3960, 1215, 255}, lblICQCap);
    return l;
}

}  // namespace

const WindowLayout& AboutLayout() {
    static const WindowLayout layout = Build();
    return layout;
}

}  // namespace qm::ui
