// The About window, frmAbout, as a table.
#pragma once

#include "ui/layout.h"

namespace qm::ui {

// Control ids of the About window.
namespace about_ids {
enum Id : int {
    cmdBack = 300, frmMain, picMainLogo, picLogo, txtSite, txtMail, txtICQ,
    lblEmailCap, lblOurSiteCap, lblCopyright, lblVersion, lblVersionCap, lblICQCap,  // 307 to 312
};
}  // namespace about_ids

const WindowLayout& AboutLayout();

}  // namespace qm::ui
