#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/stat_file.h"
#include "core/identity.h"
#include "tests/fakes.h"

namespace qm::ui {
namespace {

// The window as the behaviour sees it, recording what was done to it.
struct FakeView : MainWindowView {
    bool minimized = false, visible = false, checked = false;
    int width = 562, height = 366, dpi = 96;
    int releases = 0, trayAdds = 0, trayRemoves = 0, popups = 0, abouts = 0, histories = 0, destroyed = 0, fronts = 0;
    std::string caption;
    std::vector<std::string> opened, asked;
    std::vector<Answer> answers;  // next answers to questions, OK when empty
    std::function<void()> duringQuestion;

    bool IsMinimized() override { return minimized; }
    void Minimize() override { minimized = true; }
    void Restore() override { minimized = false; }
    void SetVisible(bool v) override { visible = v; }
    void BringToFront() override { ++fronts; }
    int OuterWidth() override { return width; }
    int OuterHeight() override { return height; }
    void SetOuterSize(int w, int h) override { width = w; height = h; }
    int Dpi() override { return dpi; }
    void ReleaseLeftButton() override { ++releases; }
    bool AutorunChecked() override { return checked; }
    void SetAutorunChecked(bool c) override { checked = c; }
    void SetAllStatCaption(const std::string& c) override { caption = c; }
    void AddTrayIcon() override { ++trayAdds; }
    void RemoveTrayIcon() override { ++trayRemoves; }
    void PopupFileMenu() override { ++popups; }
    void ShellOpen(const std::string& target) override { opened.push_back(target); }
    Answer Ask(const std::string& text, MessageIcon, bool) override {
        asked.push_back(text);
        if (duringQuestion) duringQuestion();
        if (answers.empty()) return Answer::Ok;
        Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    void ShowAbout() override { ++abouts; }
    void ShowHistory() override { ++histories; }
    void Destroy() override { ++destroyed; }
};

struct MainWindowTest : ::testing::Test, test::FakePlatform {
    AppState app;
    FakeView view;
    test::RecordingLabels labels;
    Display display{labels, numbers};
    test::ScriptedInput input;
    test::FakeForeground foreground;
    FailureLog failures{platform.log};
    const std::string stat = "C:\\Q\\stat.dat";
    const std::string log = "C:\\Q\\DbgFile.dat";

    std::unique_ptr<MainWindow> Window(const std::string& args = "") {
        return std::make_unique<MainWindow>(app, platform, view, display, input, foreground, failures, args);
    }
    void SetUp() override { app.stats.CommonStat.SinceDate = "03-14-2024"; }
};

TEST(StartHidden, CaseSignificantAnywhereInTheArguments) {
    EXPECT_TRUE(StartHidden("/hiden"));
    EXPECT_TRUE(StartHidden("-hiden"));
    EXPECT_TRUE(StartHidden("x /unhidenly y"));
    EXPECT_FALSE(StartHidden("/HIDEN"));
    EXPECT_FALSE(StartHidden("/Hiden"));
    EXPECT_FALSE(StartHidden(""));
}

TEST_F(MainWindowTest, LoadSetsCheckTrayIconAndCyrillicCaption) {
    app.stats.AutorunEnabled = true;
    auto w = Window();
    w->Form_Load();
    EXPECT_TRUE(view.checked);
    EXPECT_FALSE(view.minimized);
    EXPECT_EQ(view.trayAdds, 1);
    EXPECT_EQ(view.caption, "Статистика за все время (с 03-14-2024)");
}

TEST_F(MainWindowTest, HiddenStartHidesAtFirstShowingAndWhenAboutHandsActivationBack) {
    auto w = Window("/hiden");
    w->Form_Load();
    EXPECT_TRUE(view.minimized);
    view.visible = true;
    w->Activated(Activation::FirstShowing);
    EXPECT_FALSE(view.visible);
    EXPECT_EQ(view.trayAdds, 2);

    // Restored from the tray, it stays through message boxes, the tray menu
    // and other programs...
    w->picTrayHook_MouseDown(515);
    EXPECT_TRUE(view.visible);
    EXPECT_FALSE(view.minimized);
    w->mnuFileSave_Click();
    w->Activated(Activation::Other);
    view.answers = {Answer::Cancel};
    w->mnuFileCurReset_Click();
    w->Activated(Activation::Other);
    EXPECT_TRUE(view.visible);
    EXPECT_EQ(view.trayAdds, 2);

    // ...until activation comes back from the About window.
    w->mnuHelpAbout_Click();
    w->Activated(Activation::AboutClosed);
    EXPECT_FALSE(view.visible);
}

TEST_F(MainWindowTest, ActivationRefreshesCheckAndIconOnlyFromFirstShowingOrAbout) {
    auto w = Window();
    view.visible = true;
    app.stats.AutorunEnabled = true;
    w->Activated(Activation::Other);
    EXPECT_FALSE(view.checked);
    EXPECT_EQ(view.trayAdds, 0);
    w->Activated(Activation::AboutClosed);
    EXPECT_TRUE(view.checked);
    EXPECT_EQ(view.trayAdds, 1);  // puts the icon back if it has gone
    EXPECT_TRUE(view.visible);    // a normal start never hides
}

TEST_F(MainWindowTest, ResizeHoldsTheOuterSizeAndLeavesMinimizedAlone) {
    auto w = Window();
    w->Form_Resize();
    EXPECT_EQ(view.releases, 0);  // already right: nothing to undo
    view.width = 700;
    view.height = 300;
    w->Form_Resize();
    EXPECT_EQ(view.width, 562);
    EXPECT_EQ(view.height, 366);
    EXPECT_EQ(view.releases, 1);  // the drag is ended
    view.dpi = 144;
    w->Form_Resize();
    EXPECT_EQ(view.width, 843);
    EXPECT_EQ(view.height, 549);
    view.minimized = true;
    view.width = 160;
    w->Form_Resize();
    EXPECT_EQ(view.width, 160);
}

TEST_F(MainWindowTest, CloseHidesAndWritesNothing) {
    auto w = Window();
    view.visible = true;
    bool cancel = false;
    w->Form_Unload(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_FALSE(view.visible);
    EXPECT_TRUE(view.minimized);
    EXPECT_EQ(view.trayRemoves, 0);
    EXPECT_TRUE(files.files.empty());
}

TEST_F(MainWindowTest, ExitSavesEverythingRemovesTheIconAndEnds) {
    auto w = Window();
    app.stats.CurrentStat.KeysPressed = 42;
    w->mnuFileExit_Click();
    EXPECT_TRUE(w->ExitRequested());
    EXPECT_EQ(view.trayRemoves, 1);
    EXPECT_EQ(view.destroyed, 1);
    EXPECT_EQ(files.files[stat].substr(0, 4), "42\r\n");
}

TEST_F(MainWindowTest, ExitThatCannotSaveAsksBeforeLosingFigures) {
    auto w = Window();
    files.failAtStep = 1;
    view.answers = {Answer::Cancel};
    w->mnuFileExit_Click();
    EXPECT_EQ(view.destroyed, 0);
    EXPECT_FALSE(w->ExitRequested());  // closing hides again
    EXPECT_EQ(view.trayRemoves, 0);
    ASSERT_EQ(view.asked.size(), 1u);
    EXPECT_NE(view.asked[0].find("could not save"), std::string::npos);
}

TEST_F(MainWindowTest, ResetQuestionsActOnlyOnOk) {
    auto w = Window();
    app.stats.CurrentStat.KeysPressed = 5;
    view.answers = {Answer::Cancel, Answer::Cancel};
    w->mnuFileCurReset_Click();
    w->mnuFileAllReset_Click();
    EXPECT_EQ(view.asked, (std::vector<std::string>{kResetCurrentQuestion, kResetCommonQuestion}));
    EXPECT_EQ(app.stats.CurrentStat.KeysPressed, 5);
    EXPECT_TRUE(files.files.empty());
    EXPECT_EQ(view.caption, "");

    // OK: the figures as they are when the user confirms, counting went on meanwhile.
    view.duringQuestion = [&] { app.stats.CurrentStat.KeysPressed = 7; };
    w->mnuFileCurReset_Click();
    EXPECT_EQ(app.stats.CurrentStat.KeysPressed, 0);
    EXPECT_EQ(app.stats.CommonStat.KeysPressed, 7);

    view.duringQuestion = nullptr;
    app.stats.CurrentStat.KeysPressed = 20;
    w->mnuFileAllReset_Click();
    EXPECT_EQ(app.stats.CommonStat.KeysPressed, 20);
    EXPECT_EQ(view.caption, "Статистика за все время (с 12-07-2026)");
    EXPECT_EQ(files.files[stat].substr(0, 4), "20\r\n");
}

TEST_F(MainWindowTest, SaveConfirmsOnlyAfterTheFileIsWritten) {
    auto w = Window();
    app.stats.CurrentStat.MouseClicks = 3;
    bool writtenBeforeBox = false;
    view.duringQuestion = [&] { writtenBeforeBox = files.files.count(stat) > 0; };
    w->mnuFileSave_Click();
    EXPECT_TRUE(writtenBeforeBox);
    EXPECT_EQ(view.asked, (std::vector<std::string>{kSavedMessage}));
}

TEST_F(MainWindowTest, SaveThatFailsSaysSoAndKeepsTheFigures) {
    auto w = Window();
    app.stats.CurrentStat.MouseClicks = 3;
    files.failWrites = {stat};
    w->mnuFileSave_Click();
    ASSERT_EQ(view.asked.size(), 1u);
    EXPECT_NE(view.asked[0], kSavedMessage);
    EXPECT_EQ(AllTime(app.stats, &StatRecord::MouseClicks), 3);
    // One log line for the failure, and the next save writes everything.
    EXPECT_NE(files.files[log].find("injected failure"), std::string::npos);
    files.failWrites.clear();
    w->tmrSaving_Timer();
    EXPECT_EQ(files.files[stat].substr(0, 2), "0\r");
    EXPECT_NE(files.files[stat].find("\r\n3\r\n0\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, RunAtStartTogglesCheckAndRegistry) {
    auto w = Window();
    const std::string key = test::FakeRegistry::Key(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName);
    w->mnuFileAutorun_Click();
    EXPECT_TRUE(view.checked);
    EXPECT_TRUE(app.stats.AutorunEnabled);
    EXPECT_EQ(registry.values[key], "C:\\Q\\quillmark.exe /hiden");
    w->mnuFileAutorun_Click();
    EXPECT_FALSE(view.checked);
    EXPECT_FALSE(app.stats.AutorunEnabled);
    EXPECT_TRUE(registry.values.empty());
    EXPECT_TRUE(files.files.empty());  // the flag reaches the file at the next save
}

TEST_F(MainWindowTest, RunAtStartSaysSoWhenAnAdministratorsValueCannotBeRemoved) {
    auto w = Window();
    registry.machineWritable = false;
    registry.values[test::FakeRegistry::Key(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName)] =
        "C:\\Q\\quillmark.exe /hiden";
    app.stats.AutorunEnabled = true;
    view.checked = true;
    w->mnuFileAutorun_Click();
    EXPECT_TRUE(view.checked);
    EXPECT_TRUE(app.stats.AutorunEnabled);
    EXPECT_EQ(view.asked, (std::vector<std::string>{kMachineAutorunRemains}));
}

TEST_F(MainWindowTest, RunAtStartNamesAnotherCopyThatStartsForEveryUser) {
    auto w = Window();
    registry.values[test::FakeRegistry::Key(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName)] =
        "\"D:\\Shared Tools\\Quillmark\\quillmark.exe\" /hiden";
    w->mnuFileAutorun_Click();
    EXPECT_TRUE(view.checked);
    EXPECT_TRUE(app.stats.AutorunEnabled);
    ASSERT_EQ(view.asked.size(), 1u);
    EXPECT_EQ(view.asked[0], OtherCopyStartsTooText("D:\\Shared Tools\\Quillmark"));
    EXPECT_NE(view.asked[0].find("\n\nD:\\Shared Tools\\Quillmark\n\n"), std::string::npos) << view.asked[0];
}

TEST_F(MainWindowTest, WindowsStartupSwitchWinsAtLoadAndActivationUntilRunAtStartTurnsItOn) {
    const auto key = [](RegistryRoot root, const char* sub) { return test::FakeRegistry::Key(root, sub, kRunValueName); };
    const std::string entry = key(RegistryRoot::LocalMachine, "StartupApproved");
    registry.values = {{key(RegistryRoot::LocalMachine, kRunSubkey), "C:\\Q\\quillmark.exe /hiden"}, {entry, "\x03"}};
    app.stats.AutorunEnabled = true;
    auto w = Window();
    w->Form_Load();
    EXPECT_FALSE(view.checked || app.stats.AutorunEnabled);  // line 9 follows at the next save
    w->mnuFileAutorun_Click();
    EXPECT_EQ(registry.values[entry], std::string("\x02") + std::string(11, '\0'));
    for (const char* changed : {"\x06", "\x07"}) {  // in Task Manager while the program runs
        registry.values[entry] = changed;
        w->Activated(Activation::AboutClosed);
        EXPECT_EQ(view.checked, changed[0] == 6) << int(changed[0]);
    }
}

TEST_F(MainWindowTest, HelpAndLinkOpenTheirTargets) {
    auto w = Window();
    w->mnuHelpReadme_Click();
    w->txtSite_Click();
    w->mnuHelpAbout_Click();
    EXPECT_EQ(view.opened, (std::vector<std::string>{"C:\\Q\\readme.txt", "http://velturn.com/?velturnquillmark" QM_VERSION_SHORT}));
    EXPECT_EQ(view.abouts, 1);
}

TEST_F(MainWindowTest, HistoryOpensBesideAHiddenMainWindowAndTouchesNoFile) {
    auto w = Window("/hiden");
    w->Form_Load();
    const auto before = files.files;
    w->mnuFileHistory_Click();
    EXPECT_EQ(view.histories, 1);
    EXPECT_FALSE(view.visible);
    EXPECT_EQ(files.files, before);
}

TEST_F(MainWindowTest, TrayEventsRestoreOrPopUpAndIgnoreTheRest) {
    auto w = Window();
    view.minimized = true;
    for (int code : {512, 513, 514, 516, 518, 519, 520, 521}) w->picTrayHook_MouseDown(code);
    EXPECT_TRUE(view.minimized);
    EXPECT_EQ(view.popups, 0);
    w->picTrayHook_MouseDown(517);  // WM_RBUTTONUP
    EXPECT_EQ(view.popups, 1);
    w->picTrayHook_MouseDown(515);  // WM_LBUTTONDBLCLK
    EXPECT_FALSE(view.minimized);
    EXPECT_TRUE(view.visible);
    EXPECT_EQ(view.fronts, 1);
}

TEST_F(MainWindowTest, FailuresInTicksAreLoggedOnceAndCountingGoesOn) {
    auto w = Window();
    app.stats.CurrentStat.KeysPressed = std::numeric_limits<int32_t>::max();
    input.pressed = {1, 65};
    clock.readings = {100.0};
    w->SamplerTick();
    EXPECT_EQ(labels.writes.size(), 12u);  // the labels follow a tick that overflowed
    w->SamplerTick();
    w->SamplerTick();
    EXPECT_EQ(app.stats.CurrentStat.MouseClicks, 3);
    EXPECT_EQ(labels.text[ValueLabel::KeybrdPushed0], "2147483647");
    // One line, however many ticks fail the same way.
    const std::string& text = files.files[log];
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_NE(text.find("Counting failed"), std::string::npos);
}

// The notice of a held figure waits for a command that went through: a
// cancelled reset, or a common reset that failed, does not give it.
TEST_F(MainWindowTest, HeldFigureNoticeWaitsThroughACancelledOrFailedReset) {
    auto w = Window();
    app.capNoticeOwed.push_back({StatField::KeysPressed, true, false});
    view.answers = {Answer::Cancel, Answer::Cancel};
    w->mnuFileCurReset_Click();
    w->mnuFileAllReset_Click();
    EXPECT_EQ(view.asked.size(), 2u);  // the two questions alone
    files.failAtStep = 1;
    w->mnuFileAllReset_Click();
    ASSERT_EQ(view.asked.size(), 4u);  // the question and the failure
    EXPECT_EQ(app.capNoticeOwed.size(), 1u);
}

TEST_F(MainWindowTest, FigureReachingTheLimitOfTheFileIsSavedThereAndToldOnce) {
    auto w = Window();
    app.stats.CommonStat.MousePixels = 2147483000;
    app.stats.CurrentStat.MousePixels = 1000;
    app.stats.CurrentStat.KeysPressed = 5;
    w->SamplerTick();
    EXPECT_EQ(labels.text[ValueLabel::MousePixels1], "2147483647");

    w->mnuFileSave_Click();
    ASSERT_EQ(view.asked.size(), 2u);
    EXPECT_EQ(view.asked[0], kSavedMessage);
    EXPECT_NE(view.asked[1].find("\"Covered pixels on display\" has reached 2147483647"), std::string::npos);
    EXPECT_NE(view.asked[1].find("\"Reset common statistics\""), std::string::npos);
    EXPECT_EQ(files.files[stat].substr(0, 16), "5\r\n0\r\n2147483647");
    EXPECT_EQ(app.stats.SavedStat, app.stats.CurrentStat);
    EXPECT_NE(files.files[log].find("Covered pixels on display"), std::string::npos);

    // Later saves go on and say nothing more in this run.
    app.stats.CurrentStat.MousePixels = 9000;
    app.stats.CurrentStat.KeysPressed = 8;
    w->tmrSaving_Timer();
    w->mnuFileExit_Click();
    EXPECT_EQ(view.asked.size(), 2u);
    EXPECT_EQ(files.files[stat].substr(0, 16), "8\r\n0\r\n2147483647");
    EXPECT_EQ(view.destroyed, 1);

    // The next run starts from a file that holds the limit: no news, no box.
    AppState next;
    LoadProgramStatistics(next, platform.save, platform.autorun);
    next.stats.CurrentStat.MousePixels = 50;
    auto w2 = std::make_unique<MainWindow>(next, platform, view, display, input, foreground, failures, "");
    w2->tmrSaving_Timer();
    EXPECT_EQ(view.asked.size(), 2u);
    const std::string& text = files.files[log];
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
}

TEST_F(MainWindowTest, WhatIsCountedWhileTheExitNoticeIsOpenIsSavedToo) {
    auto w = Window();
    app.stats.CommonStat.MousePixels = 2147483000;
    app.stats.CurrentStat.MousePixels = 1000;
    app.stats.CurrentStat.KeysPressed = 5;
    // The timers go on under the box: keys are pressed while the user reads it.
    view.duringQuestion = [&] { app.stats.CurrentStat.KeysPressed += 7; };
    w->mnuFileExit_Click();
    ASSERT_EQ(view.asked.size(), 1u);
    EXPECT_NE(view.asked[0].find("has reached 2147483647"), std::string::npos);
    EXPECT_EQ(view.destroyed, 1);
    EXPECT_EQ(files.files[stat].substr(0, 4), "12\r\n");
}

TEST_F(MainWindowTest, ResetOfTheCommonFiguresWhoseSaveFailsChangesNothing) {
    auto w = Window();
    app.stats.CommonStat.KeysPressed = 1000;
    app.stats.CurrentStat.KeysPressed = 30;
    app.stats.SavedStat.KeysPressed = 10;
    w->Form_Load();
    const Statistics before = app.stats;
    const std::string caption = view.caption;
    files.failWrites = {stat};
    w->mnuFileAllReset_Click();
    EXPECT_EQ(app.stats.CommonStat, before.CommonStat);
    EXPECT_EQ(app.stats.SavedStat, before.SavedStat);
    EXPECT_EQ(view.caption, caption);
    EXPECT_EQ(files.files.count(stat), 0u);
    ASSERT_EQ(view.asked.size(), 2u);
    EXPECT_NE(view.asked[1].find("have not been reset"), std::string::npos);
    EXPECT_EQ(AllTime(app.stats, &StatRecord::KeysPressed), 1020);

    // The next save counts the 20 keys once, in stat.dat and in the day's history.
    files.failWrites.clear();
    w->tmrSaving_Timer();
    EXPECT_EQ(files.files[stat].substr(0, 6), "1020\r\n");
    EXPECT_NE(files.files["C:\\Q\\history.csv"].find("\r\n2026-12-07,20,0,0,0,0,0,0\r\n"), std::string::npos)
        << files.files["C:\\Q\\history.csv"];
}

TEST_F(MainWindowTest, RunClockTicksFromTheStart) {
    auto w = Window();
    app.runClock.RunStartSeconds = 100;
    clock.readings = {161.4};
    w->tmrCounter_Timer();
    EXPECT_EQ(app.stats.CurrentStat.PassedSeconds, 61);
}

TEST_F(MainWindowTest, EndOfSessionSavesOnce) {
    auto w = Window();
    app.stats.CurrentStat.KeysPressed = 9;
    w->EndSession();
    w->EndSession();
    EXPECT_EQ(files.files[stat].substr(0, 3), "9\r\n");
    EXPECT_EQ(view.trayRemoves, 1);
}

}  // namespace
}  // namespace qm::ui
