// The About window on Win32, shown modally.
#pragma once

#include <windows.h>

#include "ui/about_window.h"
#include "ui/win32/builder.h"
#include "ui/win32/window.h"

namespace qm::ui::win32 {

class AboutBox : public Window, public AboutView {
public:
    // Creates the window afresh, shows it modally and returns when it has closed.
    static void ShowModal(HINSTANCE instance, HWND mainWindow);
    // True for an About window of this program: the main window learns from
    // it that activation came back from the About window.
    static bool IsAboutWindow(HWND window);

    void SetVersionText(const std::string& text) override;
    void ShellOpen(const std::string& target) override;
    void Close() override;

private:
    explicit AboutBox(HINSTANCE instance) : Window(instance), behaviour_(*this) {}
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool FocusBack();  // false before the controls exist

    HWND mainWindow_ = nullptr;
    AboutWindow behaviour_;
    bool closed_ = false;
};

}  // namespace qm::ui::win32
