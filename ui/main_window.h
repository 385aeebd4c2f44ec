// The behaviour of the main window, frmMain: load, activate, resize, unload,
// the menu commands, the web link, the timers and the tray icon's events.
// Plain code over MainWindowView, so it is tested without a screen.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/services.h"
#include "app/debug_log.h"
#include "app/startup.h"
#include "core/identity.h"
#include "core/display.h"
#include "core/platform/screens.h"
#include "input/sampler.h"

namespace qm::ui {

enum class Answer { Ok, Cancel };

// Where the main window's activation came from.
enum class Activation {
    FirstShowing,  // start-up shows the window for the first time
    AboutClosed,   // the About window closed and handed activation back
    Other,         // a message box or pop-up menu closing, another program, the tray icon
};

// What the behaviour needs of the real window and of the shell.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual bool IsMinimized() = 0;
    virtual void Minimize() = 0;           // state := minimized, without activating
    virtual void Restore() = 0;            // state := normal
    virtual void SetVisible(bool visible) = 0;
    virtual void BringToFront() = 0;       // show modeless, in front
    virtual int OuterWidth() = 0;          // pixels
    virtual int OuterHeight() = 0;
    virtual void SetOuterSize(int width, int height) = 0;
    virtual int Dpi() = 0;
    virtual void ReleaseLeftButton() = 0;  // ends a drag of the frame
    virtual bool AutorunChecked() = 0;
    virtual void SetAutorunChecked(bool checked) = 0;
    virtual void SetAllStatCaption(const std::string& caption) = 0;
    virtual void AddTrayIcon() = 0;
    virtual void RemoveTrayIcon() = 0;
    virtual void PopupFileMenu() = 0;      // at the cursor; returns when it closes
    virtual void ShellOpen(const std::string& target) = 0;
    virtual Answer Ask(const std::string& text, MessageIcon icon, bool withCancel) = 0;
    virtual void ShowAbout() = 0;          // modal
    virtual void ShowHistory() = 0;        // modeless; one at a time, brought to the front when open
    virtual void Destroy() = 0;            // the window goes, and with it the program
};

// The tray icon's events that picTrayHook_MouseDown acts on, by the codes
// the shell's callback carries (a left double click, a right button's release).
enum TrayEvent : int { TrayLeftDoubleClick = 515, TrayRightButtonUp = 517 };

inline constexpr const char* kHiddenSwitch = QM_HIDDEN_SWITCH;
inline constexpr const char* kAllStatPrefix =
    "\xD0\xA1\xD1\x82\xD0\xB0\xD1\x82\xD0\xB8\xD1\x81\xD1\x82\xD0\xB8\xD0\xBA\xD0\xB0 \xD0\xB7\xD0\xB0 "
    "\xD0\xB2\xD1\x81\xD0\xB5 \xD0\xB2\xD1\x80\xD0\xB5\xD0\xBC\xD1\x8F (\xD1\x81 ";  // "Статистика за все время (с "
inline constexpr const char* kResetCurrentQuestion = "Do you really want reset current statistics?";
inline constexpr const char* kResetCommonQuestion = "Do you really want reset common statistics?";
inline constexpr const char* kSavedMessage = "Statistics saved sucessfully";
inline constexpr const char* kMachineAutorunRemains =
    "Quillmark cannot stop starting with Windows: an administrator registered it for every user of this "
    "computer, and only an administrator may remove that.\n\n"
    "Quillmark goes on starting with Windows until an administrator removes it, or until you disable it in "
    "the Startup tab of Task Manager.";

// Said when "Run at start" is turned on while a value for every user starts
// the copy in that folder.
std::string OtherCopyStartsTooText(const std::string& folder);

// True when "hiden" occurs in the arguments, letter case significant.
bool StartHidden(const std::string& arguments);

// "Статистика за все время (с 03-14-2024)"
std::string AllStatCaption(const std::string& sinceDate);

class MainWindow {
public:
    MainWindow(AppState& app, Platform& platform, MainWindowView& view, Display& display, InputDevices& input,
               Foreground& foreground, FailureLog& failures, std::string arguments)
        : app_(app), platform_(platform), view_(view), display_(display), input_(input), foreground_(foreground),
          failures_(failures), hidden_(StartHidden(arguments)) {}

    void Form_Load();
    // The window became active; runs Form_Activate at the first showing and
    // when the About window hands activation back, never otherwise.
    void Activated(Activation from);
    void Form_Activate();
    void Form_Resize();
    void Form_Unload(bool& cancel);

    void mnuFileCurReset_Click();
    void mnuFileAllReset_Click();
    void mnuFileSave_Click();
    void mnuFileHistory_Click();
    void mnuFileAutorun_Click();
    void mnuFileExit_Click();
    void mnuHelpReadme_Click();
    void mnuHelpAbout_Click();
    void txtSite_Click();

    void tmrCounter_Timer();
    void tmrSaving_Timer();
    void SamplerTick();
    // At start and whenever the system says the displays changed: the
    // monitors the maps of the screen are counted on from now.
    void DisplayChanged(std::vector<Monitor> monitors);
    void picTrayHook_MouseDown(int code);

    // Windows is logging off or shutting down: the process ends without an
    // Exit, so the figures are saved here.
    void EndSession();

    bool StartsHidden() const { return hidden_; }
    // Exit was chosen: an unload is the program's end, not a hide to the tray.
    bool ExitRequested() const { return exitRequested_; }

private:
    // A reset; a failure is logged and told, with notDone. True when it reset.
    bool Reset(const char* source, const char* notDone, const std::function<void()>& reset);
    // Saves; on failure logs it and returns the reason, keeping the figures in memory.
    bool TrySave(const char* source, std::string* reason = nullptr);
    void ReportSaveFailure(const std::string& reason);
    // Tells the user, once a run, about all-time figures a save held at a
    // limit of the file; true when it did.
    bool TellAboutHeldFigures(bool withMessageBox = true);

    AppState& app_;
    Platform& platform_;
    MainWindowView& view_;
    Display& display_;
    InputDevices& input_;
    Foreground& foreground_;
    FailureLog& failures_;
    bool hidden_;
    bool trayIconRemoved_ = false;
    bool exitRequested_ = false;
};

}  // namespace qm::ui
