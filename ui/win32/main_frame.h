// The main window on Win32: the window procedure that raises the behaviour's
// handlers, and the view and label operations they call.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <functional>
#include <memory>

#include "core/display.h"
#include "core/platform/screens.h"
#include "ui/main_window.h"
#include "ui/win32/builder.h"
#include "ui/win32/history_box.h"
#include "ui/win32/window.h"

namespace qm::ui::win32 {

class MainFrame : public Window, public MainWindowView, public LabelSink {
public:
    explicit MainFrame(HINSTANCE instance) : Window(instance) {}

    // The behaviour to raise, and what to do when regional settings change.
    void Attach(MainWindow* behaviour, std::function<void()> onSettingsChange,
                FailureHandler onFailure);

    // Creates the window, runs Form_Load, shows it (minimized when starting
    // hidden) and runs Form_Activate for the first showing.
    void CreateAndShow();
    void StartSampler();
    // What the History window reads and shows.
    void SetHistorySources(const HistorySources& sources);
    // Where the Programs tab finds the executables for their icons.
    void SetProgramFinder(const qm::win32::Win32Foreground& foreground) { programs_ = &foreground; }
    // Where the behaviour learns the monitors from: once before the first
    // tick, and again whenever the displays change.
    void SetScreens(Screens& screens) { screens_ = &screens; }
    // The keyboard of the modeless History window, from the message loop;
    // true when the message was used there.
    bool PreTranslate(MSG& msg) { return history_ && history_->PreTranslate(msg); }

    // LabelSink
    void SetLabelText(ValueLabel label, const std::string& text) override;

    // MainWindowView
    bool IsMinimized() override;
    void Minimize() override;
    void Restore() override;
    void SetVisible(bool visible) override;
    void BringToFront() override;
    int OuterWidth() override;
    int OuterHeight() override;
    void SetOuterSize(int width, int height) override;
    int Dpi() override;
    void ReleaseLeftButton() override;
    bool AutorunChecked() override;
    void SetAutorunChecked(bool checked) override;
    void SetAllStatCaption(const std::string& caption) override;
    void AddTrayIcon() override;
    void RemoveTrayIcon() override;
    void PopupFileMenu() override;
    void ShellOpen(const std::string& target) override;
    Answer Ask(const std::string& text, MessageIcon icon, bool withCancel) override;
    void ShowAbout() override;
    void ShowHistory() override;
    void Destroy() override;

private:
    static void CALLBACK SamplerProc(HWND hwnd, UINT, UINT_PTR, DWORD);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void TellMonitors();

    MainWindow* behaviour_ = nullptr;
    std::function<void()> onSettingsChange_;
    std::array<HWND, kValueLabelCount> labels_{};
    qm::win32::UniqueIcon trayIcon_;
    UINT taskbarCreated_ = 0;
    bool shown_ = false;
    bool minimizedWhileHidden_ = false;
    std::unique_ptr<HistorySources> historySources_;
    std::unique_ptr<HistoryBox> history_;  // while the History window is open
    const qm::win32::Win32Foreground* programs_ = nullptr;
    Screens* screens_ = nullptr;
};

}  // namespace qm::ui::win32
