#include "ui/about_layout.h"

#include "ui/contacts.h"

namespace qm::ui {

namespace {

using namespace about_ids;
using T = Colour::Type;

// Every font of this window: MS Sans Serif 8.25 pt bold.
constexpr Font kBold{.bold = true};
constexpr Font kBoldUnderlined{.bold = true, .underline = true};
constexpr Colour kLinkBlue = Colour::Rgb(0, 0, 255);
constexpr Colour kWindow = Colour::System(T::Window);

// The link boxes and labels lie in picMainLogo; the labels are drawn over it.
constexpr Widget kWidgets[] = {
    {.id = cmdBack, .name = "cmdBack", .kind = Kind::Button, .caption = "Back", .rect = {120, 4920, 5655, 495},
     .font = kBold, .tabStop = true},
    {.id = frmMain, .name = "frmMain", .kind = Kind::GroupBox, .rect = {120, 120, 5655, 4695}, .font = kBold,
     .back = Colour::System(T::CaptionText)},
    {.id = picMainLogo, .name = "picMainLogo", .kind = Kind::Panel, .parent = frmMain, .rect = {120, 240, 5415, 4335},
     .font = kBold, .back = kWindow},
    {.id = picLogo, .name = "picLogo", .kind = Kind::Picture, .parent = picMainLogo, .rect = {120, -120, 5100, 2775},
     .font = kBold, .image = Image::Logo},
    {.id = txtSite, .name = "txtSite", .kind = Kind::LinkBox, .parent = picMainLogo, .caption = kSiteHost,
     .rect = {2400, 3480, 1935, 195}, .font = kBoldUnderlined, .fore = kLinkBlue, .back = kWindow,
     .align = Align::Right, .handCursor = true},
    {.id = txtMail, .name = "txtMail", .kind = Kind::LinkBox, .parent = picMainLogo, .caption = kSupportMail,
     .rect = {2520, 3720, 1815, 195}, .font = kBoldUnderlined, .fore = kLinkBlue, .back = kWindow, .handCursor = true},
    {.id = txtICQ, .name = "txtICQ", .kind = Kind::LinkBox, .parent = picMainLogo, .caption = kIcqNumber,
     .rect = {3360, 3960, 975, 195}, .font = kBold, .fore = kLinkBlue, .back = kWindow, .handCursor = true},
    {.id = lblEmailCap, .name = "lblEmailCap", .parent = picMainLogo, .caption = "E-mail:",
     .rect = {1200, 3720, 975, 255}, .font = kBold, .transparent = true},
    {.id = lblOurSiteCap, .name = "lblOurSiteCap", .parent = picMainLogo, .caption = "Our website:",
     .rect = {1200, 3480, 1095, 255}, .font = kBold, .transparent = true},
    {.id = lblCopyright, .name = "lblCopyright", .parent = picMainLogo, .caption = kCopyright,
     .rect = {0, 3240, 5415, 255}, .font = kBold, .align = Align::Center, .transparent = true},
    {.id = lblVersion, .name = "lblVersion", .parent = picMainLogo, .caption = "1.0", .rect = {2760, 2760, 1455, 255},
     .font = kBold, .transparent = true},
    {.id = lblVersionCap, .name = "lblVersionCap", .parent = picMainLogo, .caption = "Version:",
     .rect = {2040, 2760, 735, 255}, .font = kBold, .transparent = true},
    {.id = lblICQCap, .name = "lblICQCap", .parent = picMainLogo, .caption = "ICQ Support:",
     .rect = {1200, 3960, 1215, 255}, .font = kBold, .transparent = true},
};

constexpr WindowLayout kLayout{
    .name = "frmAbout",
    .title = "About",
    .client = {0, 0, 5910, 5535},
    .centred = true,
    .back = Colour::Rgb(255, 255, 255),
    .font = kBold,
    .widgets = kWidgets,
};

}  // namespace

const WindowLayout& AboutLayout() { return kLayout; }

}  // namespace qm::ui
