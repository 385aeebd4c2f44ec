#include "ui/contacts.h"

#include "core/text.h"

namespace qm::ui {

std::string SiteLink() { return std::string("http://") + kSiteHost + "/?" + kQueryWord + VersionString(); }
std::string MailLink() { return std::string("mailto:") + kSupportMail; }
std::string IcqLink() {
    return std::string("http://") + kIcqHost + "/whitepages/cmd.php?uin=" + kIcqNumber + "&action=message";
}

}  // namespace qm::ui
