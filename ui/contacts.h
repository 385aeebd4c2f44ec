// The maker's addresses, shown in the link boxes and opened by them.
#pragma once

#include <string>

namespace qm::ui {

inline constexpr const char* kSiteHost = "velturn.com";
inline constexpr const char* kSupportMail = "help@velturn.com";
inline constexpr const char* kIcqNumber = "7316452";
inline constexpr const char* kIcqHost = "wwp.icq.com";
inline constexpr const char* kCopyright = "Copyright \xC2\xA9 2026 Velturn. All rights reserved.";
inline constexpr const char* kQueryWord = "velturnquillmark";

// http://www.velturn.com/?velturnquillmark<major>.<minor>
std::string SiteLink();
// mailto:support@velturn.com
std::string MailLink();
// http://wwp.icq.com/whitepages/cmd.php?uin=418207356&action=message
std::string IcqLink();

}  // namespace qm::ui
