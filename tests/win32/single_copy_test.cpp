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

TEST(Win32CopyLocks, EverySpellingOfAFolderHasOneIdentity) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"Quillmark Long Folder Name " + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    wchar_t shortName[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);

    Win32CopyLocks locks;
    const std::string identity = locks.FolderIdentity(Narrow(folder));
    std::string lower = Narrow(folder);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    EXPECT_EQ(locks.FolderIdentity(lower), identity);
    EXPECT_EQ(FolderLockName(locks.FolderIdentity(Narrow(folder) + "\\")), FolderLockName(identity));
    if (length > 0 && std::wstring(shortName) != folder) {
        EXPECT_EQ(locks.FolderIdentity(Narrow(shortName)), identity) << Narrow(shortName);
    }
    EXPECT_NE(identity.find("QUILLMARK LONG FOLDER NAME"), std::string::npos) << identity;
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace qm::win32
