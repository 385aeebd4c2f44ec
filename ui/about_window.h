// The behaviour of the About window: the version at load, the three links
// and "Back".
#pragma once

#include <string>

namespace qm::ui {

class AboutView {
public:
    virtual ~AboutView() = default;
    virtual void SetVersionText(const std::string& text) = 0;
    virtual void ShellOpen(const std::string& target) = 0;
    virtual void Close() = 0;  // unloads the window and ends its modal showing
};

class AboutWindow {
public:
    explicit AboutWindow(AboutView& view) : view_(view) {}
    void Form_Load();
    void txtSite_Click();
    void txtMail_Click();
    void txtICQ_Click();
    void cmdBack_Click();

private:
    AboutView& view_;
};

}  // namespace qm::ui
