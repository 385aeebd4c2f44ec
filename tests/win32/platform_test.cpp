// The Win32 implementations against the real system (run under Wine in CI).
#include "win32/platform.h"

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "core/display.h"
#include "core/stat_file.h"
#include "core/text.h"
#include "win32/wide.h"

namespace qm::win32 {
namespace {

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& name) {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + name + L"-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((path_ + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                SetFileAttributesW((path_ + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW((path_ + L"\\" + name).c_str());
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        RemoveDirectoryW(path_.c_str());
    }
    std::string File(const std::string& name) const { return AddBackslash(Narrow(path_)) + name; }
    int CountFiles() const {
        int count = 0;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((path_ + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return 0;
        do {
            std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") ++count;
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return count;
    }

private:
    std::wstring path_;
};

TEST(Win32NumberFormat, MetersInUnitedStatesAndGermanFormats) {
    Win32NumberFormat us(L"en-US"), german(L"de-DE");
    EXPECT_EQ(MetersText(4521873, us), "1,291.96");
    EXPECT_EQ(MetersText(1750, us), "0.50");
    EXPECT_EQ(MetersText(0, us), "0.00");
    EXPECT_EQ(MetersText(4521873, german), "1.291,96");
    EXPECT_EQ(MetersText(2147483647, german), "613.566,76");
}

TEST(Win32NumberFormat, DebugLogSecondsWithFiveDecimals) {
    Win32NumberFormat us(L"en-US"), german(L"de-DE");
    EXPECT_EQ(us.Format(1234.56789, 5), "1,234.56789");
    EXPECT_EQ(german.Format(1234.56789, 5), "1.234,56789");
    EXPECT_EQ(us.Format(0.5, 5), "0.50000");
}

TEST(Win32NumberFormat, UserDefaultFormatsTwoDecimals) {
    Win32NumberFormat user;
    std::string text = MetersText(1750, user);
    EXPECT_TRUE(text == "0.50" || text == "0,50") << text;
}

TEST(Win32Counter, HiResSecondsMovesForward) {
    Win32Counter counter;
    EXPECT_GT(counter.Frequency(), 0);
    CounterTimeSource clock(counter);
    double a = clock.HiResSeconds();
    Sleep(20);
    double b = clock.HiResSeconds();
    EXPECT_GT(b, a);
    EXPECT_LT(b - a, 5.0);
}

TEST(Win32Calendar, TodayAndNowAreTheLocalDateAndTime) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    LocalDate today = Win32Calendar().Today();
    EXPECT_EQ(today.year, now.wYear);
    EXPECT_EQ(today.month, now.wMonth);
    EXPECT_EQ(today.day, now.wDay);
    LocalDateTime at = Win32Calendar().Now();
    EXPECT_EQ(at.date.year, now.wYear);
    EXPECT_NEAR(at.hour * 3600 + at.minute * 60 + at.second, now.wHour * 3600 + now.wMinute * 60 + now.wSecond, 2);
}

TEST(Win32Calendar, NowTextHoldsTheRegionalDateAndTime) {
    std::string now = Win32Calendar().NowText();
    SYSTEMTIME t;
    GetLocalTime(&t);
    EXPECT_NE(now.find(std::to_string(t.wYear)), std::string::npos) << now;
    EXPECT_NE(now.find(' '), std::string::npos) << now;
    EXPECT_NE(now.find(':'), std::string::npos) << now;
}

TEST(Win32Program, PathNamesThisExecutable) {
    std::string path = ProgramPath();
    EXPECT_EQ(StemOfPath(path), "qm_win32_tests");
    EXPECT_EQ(AddBackslash(FolderOfPath(path)).back(), '\\');
}

TEST(Win32FileSystem, CreateReadReplaceAppendRemove) {
    TempFolder folder(L"qm-files");
    Win32FileSystem files;
    const std::string a = folder.File("a.txt"), b = folder.File("b.txt");
    EXPECT_FALSE(files.Exists(a));
    files.Create(a)->Close();
    EXPECT_TRUE(files.Exists(a));  // length zero exists
    EXPECT_EQ(files.ReadAll(a), "");

    auto file = files.Create(a);
    file->Write("one\r\ntwo\r\n");
    file->Flush();
    file->Close();
    EXPECT_EQ(files.ReadAll(a), "one\r\ntwo\r\n");

    files.Create(b)->Close();
    files.Replace(a, b);
    EXPECT_FALSE(files.Exists(a));
    EXPECT_EQ(files.ReadAll(b), "one\r\ntwo\r\n");

    files.Append(a, "x\r\n");
    files.Append(a, "y\r\n");
    EXPECT_EQ(files.ReadAll(a), "x\r\ny\r\n");
    files.Remove(a);
    files.Remove(a);  // twice: silent
    EXPECT_FALSE(files.Exists(a));
    EXPECT_FALSE(files.Exists(folder.File("")));  // a folder is not a file
    EXPECT_THROW(files.ReadAll(a), FileError);
}

TEST(Win32FileSystem, StatisticsRoundTripInAFolderWithCyrillicName) {
    TempFolder folder(L"qm-\x0421\x0442\x0430\x0442");
    Win32FileSystem files;
    const std::string path = folder.File("stat.dat");
    const std::string example =
        "15234\r\n812.37\r\n4521873\r\n9876\r\n1543.2\r\n3410\r\n86400\r\n03-14-2024\r\nTrue\r\n";
    files.Append(path, example);
    Statistics stats;
    Win32Calendar calendar;
    LoadStatistics(stats, files, path, calendar, nullptr);
    EXPECT_EQ(stats.CommonStat.MousePixels, 4521873);
    stats.CurrentStat.KeysPressed = 6;
    SaveStatistics(stats, files, path);
    EXPECT_EQ(files.ReadAll(path),
              "15240\r\n812.37\r\n4521873\r\n9876\r\n1543.2\r\n3410\r\n86400\r\n03-14-2024\r\nTrue\r\n");
    EXPECT_EQ(folder.CountFiles(), 1);  // no temporary file left
}

TEST(Win32FileSystem, FailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    TempFolder folder(L"qm-fail");
    Win32FileSystem files;
    Statistics stats;
    // The folder does not exist: creating the temporary file fails.
    const std::string missing = folder.File("gone\\stat.dat");
    try {
        SaveStatistics(stats, files, missing);
        FAIL() << "save into a missing folder succeeded";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("stat.dat.tmp"), std::string::npos) << e.what();
    }

    // stat.dat is a folder: the replace fails, the temporary file is removed.
    const std::string path = folder.File("stat.dat");
    CreateDirectoryW(Widen(path).c_str(), nullptr);
    EXPECT_THROW(SaveStatistics(stats, files, path), FileError);
    EXPECT_FALSE(files.Exists(path + ".tmp"));
    RemoveDirectoryW(Widen(path).c_str());
}

}  // namespace
}  // namespace qm::win32
