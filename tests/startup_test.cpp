#include "app/startup.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <stdexcept>

#include "tests/fakes.h"

namespace qm {
namespace {

struct FakeHost : StartupHost {
    test::FakeLockSpace machine;
    test::FakeCopyLocks locks{machine, 1};
    std::vector<std::string> calls;
    std::vector<std::string> messages;
    // Each Main is a new process: the previous one has ended and let go of its locks.
    CopyLocks& Locks() override {
        calls.push_back("lock");
        locks.EndProcess();
        return locks;
    }
    void ShowMessage(const std::string& text, MessageIcon) override {
        calls.push_back("message");
        messages.push_back(text);
    }
    void InitCommonControls() override { calls.push_back("controls"); }
    void ShowMainWindow() override { calls.push_back("window"); }
    void StartSampler() override { calls.push_back("sampler"); }
};

struct StartupTest : ::testing::Test, test::FakePlatform {
    StartupTest() { clock.readings = {1234.5}; }
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
    host.machine.held.insert("session 1:" + std::string(kSessionLockName));  // a copy runs
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

// Two users with fast user switching: each session has one copy, each
// stat.dat one copy across sessions and computers, under any spelling.
TEST(SingleCopy, OnePerSessionAndOnePerStatisticsFile) {
    test::FakeLockSpace machine;
    const std::string shared = "C:\\Program Files\\Quillmark\\stat.dat.lock";
    for (const char* spelling : {"\\\\?\\C:\\Program Files\\Quillmark\\stat.dat.lock",
                                 "c:\\progra~1\\quillm~1\\stat.dat.lock", "P:\\Quillmark\\stat.dat.lock",
                                 "\\\\pc\\c$\\Program Files\\Quillmark\\stat.dat.lock"})
        machine.sameFile[spelling] = shared;
    std::vector<std::unique_ptr<test::FakeCopyLocks>> processes;
    auto start = [&](int session, const std::string& lockFile) {
        processes.push_back(std::make_unique<test::FakeCopyLocks>(machine, session));
        return ClaimSingleCopy(*processes.back(), lockFile).refusal;
    };
    EXPECT_EQ(start(1, "C:\\Users\\ann\\AppData\\Local\\Programs\\Quillmark\\stat.dat.lock"), CopyRefusal::None);
    // Same session, another folder: still one tray icon and one count.
    EXPECT_EQ(start(1, "D:\\Tools\\Quillmark\\stat.dat.lock"), CopyRefusal::SameSession);
    // Another session, another folder: the second user counts too.
    EXPECT_EQ(start(2, "C:\\Users\\bob\\AppData\\Local\\Programs\\Quillmark\\stat.dat.lock"), CopyRefusal::None);

    // A shared copy: the first user starts it; every other start is refused
    // under any spelling of the same file.
    EXPECT_EQ(start(3, shared), CopyRefusal::None);
    int session = 4;
    for (const auto& [spelling, file] : machine.sameFile)
        EXPECT_EQ(start(session++, spelling), CopyRefusal::SameStatFile) << spelling;
    // The first copy ends, killed or not: the next start runs.
    processes[3]->EndProcess();
    EXPECT_EQ(start(session++, "P:\\Quillmark\\stat.dat.lock"), CopyRefusal::None);
}

TEST_F(StartupTest, ALockFileThatAScannerKeepsAfterItsCopyEndedIsWaitedForThenRefusedAsASecondCopy) {
    host.machine.going["C:\\Q\\stat.dat.lock"] = 99;
    EXPECT_EQ(Main(app, platform, host), StartResult::Refused);
    EXPECT_EQ(host.messages, std::vector<std::string>{kPrevInstanceMessage});
    EXPECT_NE(files.files[log].find(kLockFileHeldLogText), std::string::npos);
    host.machine.going["C:\\Q\\stat.dat.lock"] = 3;  // lets go while the next start waits
    EXPECT_EQ(Main(app, platform, host), StartResult::Running);
    EXPECT_EQ(host.machine.waitedMs, 2000u + 300u);
}

TEST_F(StartupTest, CopyElsewhereUsingThisStatFileIsRefusedAndSaysWhich) {
    host.machine.held.insert("file C:\\Q\\stat.dat.lock");
    files.files[stat] = "untouched";
    EXPECT_EQ(Main(app, platform, host), StartResult::Refused);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lock", "message"}));
    EXPECT_EQ(host.messages[0], kPrevInstanceMessage);
    EXPECT_NE(files.files[log].find("PrevInstance detected: a copy in another session or on another computer"),
              std::string::npos);
    EXPECT_EQ(files.files[stat], "untouched");
    EXPECT_EQ(files.files.size(), 2u);
}

TEST_F(StartupTest, FolderWithoutALockFileIsNamedWithTheReasonAndNotTouched) {
    host.machine.cannotCreate["C:\\Q\\stat.dat.lock"] = "Access is denied.";
    files.files[stat] = "untouched";
    EXPECT_EQ(Main(app, platform, host), StartResult::Failed);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lock", "message"}));
    EXPECT_EQ(host.messages[0], NoLockFileText("C:\\Q", "Access is denied."));
    EXPECT_NE(host.messages[0].find("C:\\Q\n"), std::string::npos);
    EXPECT_NE(host.messages[0].find("Access is denied."), std::string::npos);
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{stat, "untouched"}}));
    EXPECT_EQ(files.steps, 0);
}

TEST_F(StartupTest, SecondCopyIsRefusedEvenWhenTheLogCannotBeWritten) {
    host.machine.held.insert("session 1:" + std::string(kSessionLockName));
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

TEST_F(StartupTest, FileThatCannotBeLookedAtIsReportedAndNeverWrittenOver) {
    const std::string example =
        "15234\r\n812.37\r\n4521873\r\n9876\r\n1543.2\r\n3410\r\n86400\r\n03-14-2024\r\nTrue\r\n";
    files.files[stat] = example;
    files.unreadable[stat] = "Access is denied.";
    EXPECT_EQ(Main(app, platform, host), StartResult::Failed);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lock", "controls", "message"}));
    EXPECT_NE(host.messages[0].find("Cannot look at C:\\Q\\stat.dat: Access is denied."), std::string::npos)
        << host.messages[0];
    EXPECT_NE(host.messages[0].find("has not been changed"), std::string::npos) << host.messages[0];
    EXPECT_EQ(files.files[stat], example);
    EXPECT_EQ(files.files.size(), 1u);
    EXPECT_EQ(files.steps, 0);  // nothing created, replaced or appended

    // Not even when the file seems to be missing: the answer was no answer.
    files.files.clear();
    host.messages.clear();
    EXPECT_EQ(Main(app, platform, host), StartResult::Failed);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(files.files.empty());
}

TEST_F(StartupTest, LeftoverTemporaryFileGoesOnceTheFileHasLoadedAndIsNeverRead) {
    const std::string example =
        "15234\r\n812.37\r\n4521873\r\n9876\r\n1543.2\r\n3410\r\n86400\r\n03-14-2024\r\nTrue\r\n";
    const std::string temp = stat + ".tmp";
    files.files[stat] = example;
    files.files[temp] = "99\r\n0\r\n";  // half a save, cut off by a crash
    EXPECT_EQ(Main(app, platform, host), StartResult::Running);
    EXPECT_EQ(files.files.count(temp), 0u);
    EXPECT_EQ(files.files[stat], example);
    EXPECT_EQ(app.stats.CommonStat.KeysPressed, 15234);
    EXPECT_EQ(files.readWhole, (std::vector<std::string>{stat}));

    // While stat.dat does not load, the leftover stays with it, as found.
    const std::string damaged = "1\r\n2\r\n";
    files.files[stat] = damaged;
    files.files[temp] = "99\r\n0\r\n";
    EXPECT_EQ(Main(app, platform, host), StartResult::Failed);
    EXPECT_EQ(files.files[temp], "99\r\n0\r\n");
    EXPECT_EQ(files.files[stat], damaged);

    // A first start writes through the leftover and leaves none.
    files.files.erase(stat);
    AppState fresh;
    EXPECT_EQ(Main(fresh, platform, host), StartResult::Running);
    EXPECT_EQ(files.files.count(temp), 0u);
    EXPECT_EQ(files.files[stat], "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\nFalse\r\n");
}

TEST_F(StartupTest, LineNineBeyondADoubleStartsWithWindows) {
    const std::string content = "5\r\n0\r\n6\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\n1e999\r\n";
    files.files[stat] = content;
    EXPECT_EQ(Main(app, platform, host), StartResult::Running);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lock", "controls", "window", "sampler"}));
    EXPECT_EQ(app.stats.CommonStat.KeysPressed, 5);
    EXPECT_TRUE(app.stats.AutorunEnabled);
    EXPECT_EQ(registry.values[test::FakeRegistry::Key(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName)],
              AutorunCommand(platform.folder.programPath));
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
        Platform failingPlatform{failing, calendar, clock, registry, paths, numbers, "C:\\Q\\quillmark.exe"};
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
