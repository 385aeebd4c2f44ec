// The Win32 file system against the real system (run under Wine in CI),
// and the program's saves and debug log through it.
#include "win32/files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/save.h"
#include "app/debug_log.h"
#include "core/stat_file.h"
#include "core/text.h"
#include "input/clock.h"
#include "win32/clock.h"
#include "win32/handles.h"
#include "win32/number_format.h"
#include "win32/path_names.h"
#include "win32/registry.h"
#include "win32/wide.h"

namespace qm::win32 {
namespace {

// Removes a folder and everything in it; `path` in the extended-length form,
// so that folders deeper than the path limit go too.
void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& name) {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        root_ = path_ = std::wstring(base) + name + L"-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() { RemoveTree(L"\\\\?\\" + root_); }
    // Goes down into a new subfolder, made with the extended-length form
    // that folders beyond the path limit need.
    void Descend(const std::wstring& name) {
        path_ += L"\\" + name;
        CreateDirectoryW((L"\\\\?\\" + path_).c_str(), nullptr);
    }
    size_t Length() const { return path_.size(); }
    std::string File(const std::string& name) const { return AddBackslash(Narrow(path_)) + name; }
    int CountFiles() const {
        int count = 0;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((L"\\\\?\\" + path_ + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return 0;
        do {
            std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") ++count;
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return count;
    }

private:
    std::wstring root_, path_;
};

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
    files.Replace(a, b, WhenBusy::RetryBriefly);
    EXPECT_FALSE(files.Exists(a));
    EXPECT_EQ(files.ReadAll(b), "one\r\ntwo\r\n");

    files.Append(a, "x\r\n");
    files.Append(a, "y\r\n");
    EXPECT_EQ(files.ReadAll(a), "x\r\ny\r\n");
    FileTail tail = files.Tail(a, 2);
    EXPECT_EQ(tail.size, 6u);
    EXPECT_EQ(tail.bytes, "\r\n");
    EXPECT_EQ(files.Tail(a, 100).bytes, "x\r\ny\r\n");
    files.Remove(a);
    files.Remove(a);  // twice: silent
    EXPECT_FALSE(files.Exists(a));
    EXPECT_FALSE(files.Exists(folder.File("")));  // a folder is not a file
    EXPECT_THROW(files.ReadAll(a), FileError);
    tail = files.Tail(a, 2);  // a missing file has length zero
    EXPECT_EQ(tail.size, 0u);
    EXPECT_EQ(tail.bytes, "");
}

// Both answer "access denied" on Windows; Wine refuses only the held file, so here the read-only file is held too.
TEST(Win32FileSystem, ReplaceWaitsForAHolderOfTheFileButNotForAReadOnlyFile) {
    TempFolder folder(L"qm-busy");
    const std::string from = folder.File("stat.dat.tmp"), to = folder.File("stat.dat");
    UniqueFile scanner;
    int pauses = 0;
    Win32FileSystem files([&](unsigned) { if (++pauses == 3) scanner.reset(); });
    files.Append(from, "new");
    files.Append(to, "old");
    SetFileAttributesW(Widen(to).c_str(), FILE_ATTRIBUTE_READONLY);
    scanner = UniqueFile(CreateFileW(Widen(to).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    EXPECT_THROW(files.Replace(from, to, WhenBusy::RetryBriefly), FileError);
    EXPECT_EQ(pauses, 0);
    SetFileAttributesW(Widen(to).c_str(), FILE_ATTRIBUTE_NORMAL);
    files.Replace(from, to, WhenBusy::RetryBriefly);
    EXPECT_EQ(pauses, 3);
}

TEST(Win32FileSystem, OnlyAFileOrFolderThatIsNotThereIsMissing) {
    TempFolder folder(L"qm-look");
    Win32FileSystem files;
    EXPECT_FALSE(files.Exists(folder.File("stat.dat")));
    EXPECT_FALSE(files.Exists(folder.File("gone\\stat.dat")));
    // Any other failure is no answer: the file may be there.
    try {
        files.Exists(folder.File("st?t.dat"));
        FAIL() << "a name the system refuses was reported missing";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("st?t.dat"), std::string::npos) << e.what();
    }
    EXPECT_THROW(files.Tail(folder.File("st?t.dat"), 1), FileError);
}

std::wstring CurrentFolder() {
    std::wstring folder(32768, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    if (folder.back() != L'\\') folder += L'\\';
    return folder;
}

TEST(Win32FileSystem, ExtendedPathsAreAbsoluteAndNormalised) {
    EXPECT_EQ(ExtendedPath("C:\\Q\\stat.dat"), L"\\\\?\\C:\\Q\\stat.dat");
    EXPECT_EQ(ExtendedPath("C:/Q/./old/../stat.dat"), L"\\\\?\\C:\\Q\\stat.dat");
    EXPECT_EQ(ExtendedPath("\\\\server\\share\\Q\\stat.dat"), L"\\\\?\\UNC\\server\\share\\Q\\stat.dat");
    EXPECT_EQ(ExtendedPath("//server/share/Q/../stat.dat"), L"\\\\?\\UNC\\server\\share\\stat.dat");
    EXPECT_EQ(ExtendedPath("stat.dat"), L"\\\\?\\" + CurrentFolder() + L"stat.dat");
    EXPECT_EQ(ExtendedPath("C:\\\xD0\xA1\xD1\x82\\stat.dat"), L"\\\\?\\C:\\\x0421\x0442\\stat.dat");
    // Already extended: taken as it is, as the system takes it.
    EXPECT_EQ(ExtendedPath("\\\\?\\C:\\Q\\..\\stat.dat"), L"\\\\?\\C:\\Q\\..\\stat.dat");
    const std::string deep = "C:\\" + std::string(300, 'q') + "\\stat.dat.tmp";
    EXPECT_EQ(ExtendedPath(deep), L"\\\\?\\" + Widen(deep));
}

TEST(Win32FileSystem, EveryFileCallWorksInAFolderDeeperThanThePathLimit) {
    TempFolder folder(L"qm-deep");
    while (folder.Length() < 300) folder.Descend(std::wstring(40, L'd') + L"\x0418");
    Win32FileSystem files;
    Win32Calendar calendar;
    Win32Counter counter;
    CounterTimeSource clock(counter);
    Win32Registry registry;
    Win32PathNames paths;
    Win32NumberFormat numbers(L"en-US");
    Platform platform{files, calendar, clock, registry, paths, numbers, folder.File("quillmark.exe")};
    const std::string stat = platform.folder.StatFile(), log = platform.folder.Path("DbgFile.dat");
    ASSERT_GT(stat.size(), 300u);

    EXPECT_FALSE(files.Exists(stat));
    AppState app;
    app.stats.CurrentStat.KeysPressed = 7;
    SaveProgramStatistics(app, platform.save);  // the temporary files, then the replaces
    EXPECT_TRUE(files.Exists(stat));
    EXPECT_TRUE(files.Exists(platform.folder.History()));
    const std::string month = platform.folder.Path(HoursFileName(MonthOf(HistoryDate(calendar.Today()))).c_str());
    EXPECT_TRUE(files.Exists(month));
    EXPECT_EQ(files.FileNames(platform.folder.Path(kHistoryFolder)).size(), 1u);
    EXPECT_EQ(folder.CountFiles(), 3);  // stat.dat, history.csv and the folder "history"
    AppState loaded;
    LoadProgramStatistics(loaded, platform.save, platform.autorun);
    EXPECT_EQ(loaded.stats.CommonStat.KeysPressed, 7);

    platform.log.Write("first");
    platform.log.Write("second");
    const std::string text = files.ReadAll(log);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
    EXPECT_EQ(files.Tail(log, 8).bytes, "second\r\n");

    files.Remove(log);
    files.Remove(stat);
    files.Remove(platform.folder.History());
    files.Remove(month);
    EXPECT_TRUE(RemoveDirectoryW(ExtendedPath(platform.folder.Path(kHistoryFolder)).c_str()));
    EXPECT_EQ(folder.CountFiles(), 0);
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
