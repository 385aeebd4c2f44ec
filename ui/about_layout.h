// The About window, frmAbout, as data.
#pragma once

#include "ui/layout.h"

namespace qm::ui {

namespace about_ids {
inline constexpr int cmdBack = 300;
inline constexpr int frmMain = 301;
inline constexpr int picMainLogo = 302;
inline constexpr int picLogo = 303;
inline constexpr int txtSite = 304;
inline constexpr int txtMail = 305;
inline constexpr int txtICQ = 306;
inline constexpr int lblEmailCap = 307;
inline constexpr int lblOurSiteCap = 308;
inline constexpr int lblCopyright = 309;
inline constexpr int lblVersion = 310;
inline constexpr int lblVersionCap = 311;
inline constexpr int lblICQCap = 312;
}  // namespace about_ids

const WindowLayout& AboutLayout();

}  // namespace qm::ui
