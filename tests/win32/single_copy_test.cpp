// The single-copy locks against the real system (run under Wine in CI).
#include "win32/single_copy.h"

#include <gtest/gtest.h>

#include "win32/wide.h"

namespace qm::win32 {
namespace {

TEST(Win32CopyLocks, ANameIsHeldByItsFirstClaimUntilTheProcessEnds) {
    Win32CopyLocks first, second;
    const std::string name = "Local\\Quillmark.Test." + std::to_string(GetCurrentProcessId());
    EXPECT_TRUE(first.Claim(name));
    EXPECT_FALSE(second.Claim(name));
    EXPECT_TRUE(second.Claim(name + ".other"));
}

TEST(Win32CopyLocks, ALockFileIsHeldUnderEverySpellingAndGoesWithItsHolder) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"Quillmark Lock \x0421\x0447\x0451\x0442 " + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring file = folder + L"\\stat.dat.lock";
    wchar_t shortFolder[MAX_PATH] = {};
    GetShortPathNameW(folder.c_str(), shortFolder, MAX_PATH);
    std::wstring upper = file;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));

    std::string reason;
    {
        Win32CopyLocks first;
        ASSERT_EQ(first.HoldFile(Narrow(file), reason), FileLockResult::Held) << reason;
        EXPECT_NE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
        for (const std::wstring& spelling :
             {file, upper, L"\\\\?\\" + file, std::wstring(shortFolder) + L"\\stat.dat.lock"}) {
            Win32CopyLocks second;
            EXPECT_EQ(second.HoldFile(Narrow(spelling), reason), FileLockResult::HeldElsewhere) << Narrow(spelling);
        }
        // A backup may read it while it is held.
        UniqueFile reader(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(reader) << GetLastError();
    }
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "the lock file stays behind";
    {
        // A lock file left behind (a crash of the whole system) is simply taken over.
        UniqueFile leftover(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(leftover);
    }
    {
        Win32CopyLocks next;
        EXPECT_EQ(next.HoldFile(Narrow(file), reason), FileLockResult::Held) << reason;
    }
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);

    // Where the file cannot be made, the system says why.
    Win32CopyLocks locks;
    EXPECT_EQ(locks.HoldFile(Narrow(folder + L"\\missing\\stat.dat.lock"), reason), FileLockResult::Failed);
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
}

}  // namespace
}  // namespace qm::win32
