// The maker's addresses, shown in the link boxes and opened by them.
#pragma once

#include <string>

#include "core/identity.h"

namespace qm::ui {

inline constexpr const char* kSiteHost = QM_SITE_HOST;
inline constexpr const char* kSupportMail = QM_SUPPORT_MAIL;
inline constexpr const char* kIcqNumber = "7316452";
inline constexpr const char* kIcqHost = "wwp.icq.com";
inline constexpr const char* kCopyright = "Copyright \xC2\xA9 " QM_COPYRIGHT_YEAR " " QM_PUBLISHER ". All rights reserved.";
inline constexpr const char* kQueryWord = QM_QUERY_WORD;

// http://<site host>/?<query word><major>.<minor>
std::string SiteLink();
// mailto:<support mail>
std::string MailLink();
// http://wwp.icq.com/whitepages/cmd.php?uin=<ICQ number>&action=message
std::string IcqLink();

}  // namespace qm::ui
