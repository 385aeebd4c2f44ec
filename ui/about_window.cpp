#include "ui/about_window.h"

#include "core/text.h"
#include "ui/contacts.h"

namespace qm::ui {

void AboutWindow::Form_Load() { view_.SetVersionText(VersionString()); }
void AboutWindow::txtSite_Click() { view_.ShellOpen(SiteLink()); }
void AboutWindow::txtMail_Click() { view_.ShellOpen(MailLink()); }
void AboutWindow::txtICQ_Click() { view_.ShellOpen(IcqLink()); }
void AboutWindow::cmdBack_Click() { view_.Close(); }

}  // namespace qm::ui
