#include "app/save.h"

#include <gtest/gtest.h>

#include "core/stat_file.h"
#include "tests/fakes.h"

namespace qm {
namespace {

struct SaveTest : ::testing::Test, test::FakePlatform {
    AppState app;
    const std::string statPath = "C:\\Q\\stat.dat";
};

TEST_F(SaveTest, FilesLiveBesideTheProgram) {
    EXPECT_EQ(platform.folder.StatFile(), statPath);
    platform.folder.programPath = "D:\\quillmark.exe";
    EXPECT_EQ(platform.folder.StatFile(), "D:\\stat.dat");
}

TEST_F(SaveTest, ResetCurrentSavesClearsAndRestartsTheRunClock) {
    app.stats.CommonStat.KeysPressed = 1000;
    app.stats.CurrentStat.KeysPressed = 80;
    app.stats.SavedStat.KeysPressed = 50;
    app.stats.CurrentStat.PassedSeconds = 300;
    clock.readings = {500.2, 501.3};
    ResetCurrentStatistics(app, platform.save, clock);

    EXPECT_EQ(app.stats.CommonStat.KeysPressed, 1030);
    EXPECT_EQ(app.stats.CommonStat.PassedSeconds, 300);
    StatRecord zero{0, 0, 0, 0, 0, 0, 0, "12-07-2026"};
    EXPECT_EQ(app.stats.CurrentStat, zero);
    EXPECT_EQ(app.stats.SavedStat, zero);
    EXPECT_EQ(app.runClock.RunStartSeconds, 500);
    EXPECT_EQ(ReadNumber(files.files[statPath].substr(0, files.files[statPath].find('\r'))), 1030);

    app.runClock.Tick(clock, app.stats.CurrentStat);
    EXPECT_EQ(app.stats.CurrentStat.PassedSeconds, 1);
    // A later save adds only what came after the reset.
    app.stats.CurrentStat.KeysPressed = 4;
    SaveStatistics(app.stats, files, statPath);
    EXPECT_EQ(app.stats.CommonStat.KeysPressed, 1034);
}

TEST_F(SaveTest, ResetCommonKeepsOnlyTheUnsavedPartOfThisRun) {
    app.stats.CommonStat = {500, 900, 1.0, 10, 2.0, 30, 4000, "03-14-2024"};
    app.stats.CurrentStat.KeysPressed = 120;
    app.stats.SavedStat.KeysPressed = 100;
    ResetCommonStatistics(app, platform.save);
    EXPECT_EQ(app.stats.CommonStat.KeysPressed, 20);
    EXPECT_EQ(app.stats.CommonStat.MousePixels, 0);
    EXPECT_EQ(app.stats.CommonStat.SinceDate, "12-07-2026");
    EXPECT_EQ(app.stats.SavedStat, app.stats.CurrentStat);
    EXPECT_EQ(files.files[statPath], "20\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n12-07-2026\r\nFalse\r\n");
}

TEST_F(SaveTest, UnreadableFlagRegistersTheRunningProgram) {
    files.files[statPath] = "1\r\n0\r\n2\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\n";
    LoadProgramStatistics(app, platform.save, platform.autorun);
    EXPECT_TRUE(app.stats.AutorunEnabled);
    EXPECT_EQ(registry.values[test::FakeRegistry::Key(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName)],
              "C:\\Q\\quillmark.exe /hiden");
}

}  // namespace
}  // namespace qm
