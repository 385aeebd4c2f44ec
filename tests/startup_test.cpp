#include "app/startup.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "tests/fakes.h"

namespace qm {
namespace {

struct FakeHost : StartupHost {
    bool running = false;
    std::vector<std::string> calls;
    std::vector<std::string> messages;
    bool AnotherCopyRunning() override {
        calls.push_back("lock");
        return running;
    }
    void ShowMessage(const std::string& text, MessageIcon) override {
        calls.push_back("message");
        messages.push_back(text);
    }
    void InitCommonControls() override { calls.push_back("controls"); }
    void ShowMainWindow() override { calls.push_back("window"); }
    void StartSampler() override { calls.push_back("sampler"); }
};

struct StartupTest : ::testing::Test {
    test::MemoryFileSystem files;
    test::FakeCalendar calendar;
    test::ScriptedClock clock{1234.5};
    test::FakeRegistry registry;
    test::FakeNumberFormat numbers;
    Platform platform{files, calendar, clock, registry, numbers, "C:\\Q\\quillmark.exe"};
    AppState app;
    FakeHost host;
    const std::string stat = "C:\\Q\\stat.dat";
    const std::string log = "C:\\Q\\DbgFile.dat";
};

TEST_F(StartupTest, FirstStartCreatesTheFileThenLoadsIt) {
    EXPECT_EQ(Main(app, platform, host), StartResult::Running);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lock", "controls", "window", "sampler"}));
    EXPECT_EQ(files.files[stat], "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\nFalse\r\n");
    EXPECT_EQ(app.stats.CommonStat.SinceDate, "12-07-2026");
    EXPECT_EQ(app.runClock.RunStartSeconds, 1234);
    EXPECT_FALSE(app.stats.AutorunEnabled);
    EXPECT_EQ(files.files.count(log), 0u);
}

TEST_F(StartupTest, SecondCopyLogsAndSaysSoAndTouchesNothingElse) {
    host.running = true;
    files.files[stat] = "untouched";
    files.files[log] = "earlier line\r\n";
    clock.readings = {1234.56789};
    EXPECT_EQ(Main(app, platform, host), StartResult::Refused);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lock", "message"}));
    EXPECT_EQ(host.messages[0], "Копия программы уже запущена");
    EXPECT_EQ(files.files[stat], "untouched");
    EXPECT_EQ(files.files[log], "earlier line\r\n12/7/2026 5:37:26 AM.(1,234.56789): PrevInstance detected\r\n");

    Main(app, platform, host);
    EXPECT_EQ(std::count(files.files[log].begin(), files.files[log].end(), '\n'), 3);
}

TEST_F(StartupTest, SecondCopyIsRefusedEvenWhenTheLogCannotBeWritten) {
    host.running = true;
    files.failAtStep = 1;
    EXPECT_EQ(Main(app, platform, host), StartResult::Refused);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lock", "message"}));
}

TEST_F(StartupTest, DamagedFileIsReportedWithItsLineAndLeftAsItWas) {
    const std::string damaged = "1\r\n2\r\n3000000000\r\n4\r\n5\r\n6\r\n7\r\n\r\nTrue\r\n";
    files.files[stat] = damaged;
    EXPECT_EQ(Main(app, platform, host), StartResult::Failed);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lock", "controls", "message"}));
    EXPECT_NE(host.messages[0].find("C:\\Q\\stat.dat, line 3"), std::string::npos) << host.messages[0];
    EXPECT_EQ(files.files[stat], damaged);
    EXPECT_EQ(files.files.size(), 1u);
}

TEST_F(StartupTest, LineNineBeyondADoubleStartsWithWindows) {
    const std::string content = "5\r\n0\r\n6\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\n1e999\r\n";
    files.files[stat] = content;
    EXPECT_EQ(Main(app, platform, host), StartResult::Running);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lock", "controls", "window", "sampler"}));
    EXPECT_EQ(app.stats.CommonStat.KeysPressed, 5);
    EXPECT_TRUE(app.stats.AutorunEnabled);
    EXPECT_EQ(registry.values[test::FakeRegistry::Key(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName)],
              AutorunCommand(platform.programPath));
    EXPECT_EQ(files.files[stat], content);
}

// Whatever a read raises, start-up says which file it could not read, and
// neither the file nor the accounts change.
TEST_F(StartupTest, AnyFailureWhileReadingIsReportedWithTheFile) {
    struct FailingReads : test::MemoryFileSystem {
        std::function<void()> raise;
        std::string ReadAll(const std::string&) override {
            raise();
            return {};
        }
    };
    const std::vector<std::function<void()>> failures = {
        [] { throw std::bad_alloc(); }, [] { throw std::length_error("too long"); }, [] { throw 42; }};
    for (size_t i = 0; i < failures.size(); ++i) {
        FailingReads failing;
        failing.raise = failures[i];
        failing.files[stat] = "1\r\n";
        Platform failingPlatform{failing, calendar, clock, registry, numbers, "C:\\Q\\quillmark.exe"};
        AppState failingApp;
        failingApp.stats.CommonStat = {1, 2, 3, 4, 5, 6, 7, "01-02-2003"};
        const StatRecord before = failingApp.stats.CommonStat;
        FakeHost failingHost;
        EXPECT_EQ(Main(failingApp, failingPlatform, failingHost), StartResult::Failed) << i;
        EXPECT_EQ(failingHost.calls, (std::vector<std::string>{"lock", "controls", "message"})) << i;
        ASSERT_EQ(failingHost.messages.size(), 1u);
        EXPECT_NE(failingHost.messages[0].find("cannot read its statistics file:\n\nC:\\Q\\stat.dat"),
                  std::string::npos)
            << failingHost.messages[0];
        EXPECT_EQ(failingApp.stats.CommonStat, before) << i;
        EXPECT_EQ(failing.files[stat], "1\r\n") << i;
        EXPECT_EQ(failing.steps, 0) << i;
    }
}

TEST_F(StartupTest, FolderThatCannotBeWrittenIsReported) {
    files.failAtStep = 1;
    EXPECT_EQ(Main(app, platform, host), StartResult::Failed);
    EXPECT_EQ(host.calls.back(), "message");
    EXPECT_NE(host.messages[0].find("cannot create"), std::string::npos);
}

}  // namespace
}  // namespace qm
