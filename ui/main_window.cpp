#include "ui/main_window.h"

#include "app/commands.h"
#include "app/save.h"
#include "core/checked.h"
#include "core/stat_file.h"
#include "core/text.h"
#include "ui/contacts.h"
#include "ui/layout.h"
#include "ui/main_layout.h"

namespace qm::ui {

bool StartHidden(const std::string& arguments) { return arguments.find(kHiddenSwitch) != std::string::npos; }

std::string AllStatCaption(const std::string& sinceDate) { return kAllStatPrefix + sinceDate + ")"; }

void MainWindow::Form_Load() {
    FollowWindowsStartupSwitch(app_, platform_.autorun);
    view_.SetAutorunChecked(app_.stats.AutorunEnabled);
    if (hidden_) view_.Minimize();
    view_.AddTrayIcon();
    view_.SetAllStatCaption(AllStatCaption(app_.stats.CommonStat.SinceDate));
}

void MainWindow::Activated(Activation from) {
    // A hidden start hides the window again here, so a message box or the
    // tray menu closing must not count: the window the user has just brought
    // back from the tray would vanish under a "Save statistics" confirmation.
    if (from == Activation::FirstShowing || from == Activation::AboutClosed) Form_Activate();
}

void MainWindow::Form_Activate() {
    FollowWindowsStartupSwitch(app_, platform_.autorun);
    view_.SetAutorunChecked(app_.stats.AutorunEnabled);
    if (hidden_) view_.SetVisible(false);
    view_.AddTrayIcon();  // refused while the icon exists; puts it back if it has gone
}

void MainWindow::Form_Resize() {
    if (view_.IsMinimized()) return;
    const int width = TwipsToPixels(kMainOuterWidthTwips, view_.Dpi());
    const int height = TwipsToPixels(kMainOuterHeightTwips, view_.Dpi());
    if (view_.OuterWidth() == width && view_.OuterHeight() == height) return;
    view_.SetOuterSize(width, height);
    // The size came from a drag of the frame: end it at once.
    view_.ReleaseLeftButton();
}

void MainWindow::Form_Unload(bool& cancel) {
    if (!exitRequested_) {
        view_.SetVisible(false);
        view_.Minimize();
        cancel = true;
        return;
    }
    std::string reason;
    if (!TrySave("Saving at exit", &reason)) {
        // Ending now would lose what this run counted since the last save.
        if (view_.Ask("Quillmark could not save its statistics:\n\n" + reason +
                          "\n\nChoose OK to exit anyway and lose what was counted since the last save, or Cancel "
                          "to keep Quillmark running.",
                      MessageIcon::Error, true) != Answer::Ok) {
            exitRequested_ = false;
            cancel = true;
            return;
        }
    }
    // The timers go on counting while the notice is open: what they counted
    // until the end is saved too.
    if (TellAboutHeldFigures()) TrySave("Saving at exit");
    view_.RemoveTrayIcon();
    trayIconRemoved_ = true;
    cancel = false;
}

void MainWindow::mnuFileCurReset_Click() {
    if (view_.Ask(kResetCurrentQuestion, MessageIcon::Question, true) != Answer::Ok) return;
    Reset("Resetting the current statistics", "The current statistics have not been reset.",
          [&] { ResetCurrentStatistics(app_, platform_.save, platform_.clock); });
    TellAboutHeldFigures();
}

void MainWindow::mnuFileAllReset_Click() {
    if (view_.Ask(kResetCommonQuestion, MessageIcon::Question, true) != Answer::Ok) return;
    if (!Reset("Resetting the common statistics", "The common statistics have not been reset.",
               [&] { ResetCommonStatistics(app_, platform_.save); }))
        return;
    view_.SetAllStatCaption(AllStatCaption(app_.stats.CommonStat.SinceDate));
    TellAboutHeldFigures();
}

bool MainWindow::Reset(const char* source, const char* notDone, const std::function<void()>& reset) {
    try {
        reset();
        return true;
    } catch (const std::exception& e) {
        failures_.Failed(source, e.what());
        ReportSaveFailure(std::string(e.what()) + "\n\n" + notDone);
        return false;
    }
}

void MainWindow::mnuFileSave_Click() {
    std::string reason;
    if (TrySave("Saving", &reason))
        view_.Ask(kSavedMessage, MessageIcon::Information, false);
    else
        ReportSaveFailure(reason);
    TellAboutHeldFigures();
}

void MainWindow::mnuFileAutorun_Click() {
    view_.SetAutorunChecked(!view_.AutorunChecked());
    const AutorunResult result = ChangeAutorun(app_, view_.AutorunChecked(), platform_.autorun);
    switch (result.outcome) {
        case AutorunOutcome::Done: break;
        case AutorunOutcome::MachineValueRemains:
            // An unchecked mark would not be true: Windows still starts the program.
            view_.SetAutorunChecked(true);
            view_.Ask(kMachineAutorunRemains, MessageIcon::Information, false);
            break;
        case AutorunOutcome::OtherCopyStartsToo:
            view_.Ask(OtherCopyStartsTooText(result.otherCopyFolder), MessageIcon::Information, false);
            break;
    }
}

std::string OtherCopyStartsTooText(const std::string& folder) {
    return "Quillmark now starts when you log on.\n\nAnother copy of Quillmark, in\n\n" + folder +
           "\n\nis registered to start with Windows for every user of this computer. Both copies would start "
           "when you log on, and the second would refuse to run with its message, until one of them is switched "
           "off: choose \"Run at start\" in the File menu of either copy.";
}

void MainWindow::mnuFileExit_Click() {
    exitRequested_ = true;
    bool cancel = false;
    Form_Unload(cancel);
    if (!cancel) view_.Destroy();
}

void MainWindow::mnuHelpReadme_Click() { view_.ShellOpen(platform_.folder.Path("readme.txt")); }

void MainWindow::mnuHelpAbout_Click() { view_.ShowAbout(); }

void MainWindow::mnuFileHistory_Click() { view_.ShowHistory(); }

void MainWindow::txtSite_Click() { view_.ShellOpen(SiteLink()); }

void MainWindow::tmrCounter_Timer() {
    try {
        app_.runClock.Tick(platform_.clock, app_.stats.CurrentStat);
        failures_.Succeeded("Run clock");
    } catch (const std::exception& e) {
        failures_.Failed("Run clock", e.what());
    }
}

void MainWindow::tmrSaving_Timer() {
    TrySave("Saving");
    TellAboutHeldFigures();
}

void MainWindow::SamplerTick() {
    std::string failure;
    const auto step = [&](auto&& work) {
        try {
            work();
        } catch (const std::exception& e) {
            if (failure.empty()) failure = e.what();
        }
    };
    // The hour first: what this tick counts belongs to the hour the clock says now.
    FollowHour(app_.hours, app_.stats, platform_.calendar.Now());
    const DayFigures before = FiguresOf(app_.stats.CurrentStat);
    step([&] { qm::SamplerTick(app_.sampler, app_.stats, input_, platform_.clock, &app_.hours.keys); });
    // Even what a tick whose counting overflowed did count has a program.
    step([&] {
        CreditProgram(app_.focus, app_.hours, before, FiguresOf(app_.stats.CurrentStat), foreground_,
                      app_.sampler.TickMs);
    });
    // The labels follow even a tick whose counting overflowed.
    step([&] { display_.RefreshDisplay(app_.stats); });
    if (failure.empty())
        failures_.Succeeded("Counting");
    else
        failures_.Failed("Counting", failure);
}

void MainWindow::picTrayHook_MouseDown(int code) {
    if (code == TrayLeftDoubleClick) {
        view_.Restore();
        view_.SetVisible(true);
        view_.BringToFront();
    } else if (code == TrayRightButtonUp) {
        view_.PopupFileMenu();
    }
}

void MainWindow::EndSession() {
    if (trayIconRemoved_) return;
    TrySave("Saving at the end of the session");
    TellAboutHeldFigures(false);  // Windows is ending: no box, the log line stays
    view_.RemoveTrayIcon();
    trayIconRemoved_ = true;
}

void MainWindow::DisplayChanged(std::vector<Monitor>) {}

bool MainWindow::TrySave(const char* source, std::string* reason) {
    try {
        SaveProgramStatistics(app_, platform_.save);
        failures_.Succeeded(source);
        return true;
    } catch (const std::exception& e) {
        // Either the merge stopped (an overflow: nothing changed) or the write
        // failed after it: the figures stay in memory and the next save tries again.
        failures_.Failed(source, e.what());
        if (reason) *reason = e.what();
        return false;
    }
}

bool MainWindow::TellAboutHeldFigures(bool withMessageBox) {
    const std::optional<std::string> text = TakeCapNotice(app_);
    if (!text) return false;
    platform_.log.WriteQuietly(text->substr(0, text->find("\n")));  // the box tells the user all the same
    if (withMessageBox) view_.Ask(*text, MessageIcon::Information, false);
    return true;
}

void MainWindow::ReportSaveFailure(const std::string& reason) {
    view_.Ask("Quillmark could not save its statistics:\n\n" + reason +
                  "\n\nThe figures are kept in memory and the next save tries again.",
              MessageIcon::Error, false);
}

}  // namespace qm::ui
