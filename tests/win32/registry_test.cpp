// SetAutorun against the real registry (under Wine in CI).
#include <gtest/gtest.h>

#include "app/autorun.h"
#include "win32/handles.h"
#include "win32/path_names.h"
#include "win32/registry.h"
#include "win32/wide.h"

namespace qm::win32 {
namespace {

struct RunValue {
    bool present = false;
    DWORD type = 0;
    DWORD bytes = 0;
    std::wstring data;
};

RunValue ReadRunValue(HKEY root) {
    RunValue value;
    UniqueKey key;
    if (RegOpenKeyExW(root, Widen(kRunSubkey).c_str(), 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
        return value;
    wchar_t buffer[1024] = {};
    value.bytes = sizeof buffer;
    if (RegQueryValueExW(key.get(), Widen(kRunValueName).c_str(), nullptr, &value.type,
                         reinterpret_cast<BYTE*>(buffer), &value.bytes) != ERROR_SUCCESS)
        return value;
    value.present = true;
    value.data = buffer;
    return value;
}

bool KeyExists(HKEY root) {
    UniqueKey key;
    return RegOpenKeyExW(root, Widen(kRunSubkey).c_str(), 0, KEY_QUERY_VALUE, key.out()) == ERROR_SUCCESS;
}

struct RegistryTest : ::testing::Test {
    Win32Registry registry;
    Win32PathNames names;
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    void Clear() {
        for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser})
            registry.DeleteValue(root, kRunSubkey, kRunValueName);
    }
    AutorunResult Set(bool flag, const std::string& program) { return SetAutorun(flag, registry, names, program); }
};

TEST_F(RegistryTest, SetWritesAStringValueWithItsTerminatingNul) {
    Set(true, "C:\\Apps\\Counter\\counter.exe");
    RunValue value = ReadRunValue(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(value.present);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Narrow(value.data), "C:\\Apps\\Counter\\counter.exe /hiden");
    EXPECT_EQ(value.bytes, (34u + 1u) * sizeof(wchar_t));
    EXPECT_FALSE(ReadRunValue(HKEY_CURRENT_USER).present);
}

TEST_F(RegistryTest, ClearDeletesTheValueAndKeepsTheKey) {
    Set(true, "C:\\Apps\\q.exe");
    Set(false, "C:\\Apps\\q.exe");
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE).present);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE));
    // Clearing again, with nothing there, changes nothing and reports nothing.
    Set(false, "C:\\Apps\\q.exe");
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE).present);
}

TEST_F(RegistryTest, PathWithBlanksIsQuotedAndDriveRootHasOneBackslash) {
    Set(true, "C:\\Program Files\\Quillmark\\quillmark.exe");
    EXPECT_EQ(Narrow(ReadRunValue(HKEY_LOCAL_MACHINE).data),
              "\"C:\\Program Files\\Quillmark\\quillmark.exe\" /hiden");
    Clear();
    Set(true, "D:\\counter.exe");
    EXPECT_EQ(Narrow(ReadRunValue(HKEY_LOCAL_MACHINE).data), "D:\\counter.exe /hiden");
}

TEST_F(RegistryTest, UnicodeFolderSurvivesTheRoundTrip) {
    const std::string path = "C:\\\xD0\xA1\xD1\x87\xD1\x91\xD1\x82\\q.exe";  // "Счёт"
    Set(true, path);
    EXPECT_EQ(Narrow(ReadRunValue(HKEY_LOCAL_MACHINE).data), path + " /hiden");
    // Read back as the program reads it before deciding on a second value.
    EXPECT_EQ(registry.GetStringValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName), path + " /hiden");
    Set(false, path);
    EXPECT_EQ(registry.GetStringValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName), std::nullopt);
}

// Wine lets every program write HKEY_LOCAL_MACHINE, as an administrator may.
TEST_F(RegistryTest, CopyInTheUsersProfileRegistersForThisUserOnly) {
    const std::vector<std::string> profiles = names.ProfileFolders();
    ASSERT_FALSE(profiles.empty());
    const std::string program = profiles[0] + "\\AppData\\Local\\Programs\\Quillmark\\quillmark.exe";
    EXPECT_EQ(Set(true, program).outcome, AutorunOutcome::Done);
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE).present);
    EXPECT_EQ(Narrow(ReadRunValue(HKEY_CURRENT_USER).data), AutorunCommand(program));
    Set(false, program);
    EXPECT_FALSE(ReadRunValue(HKEY_CURRENT_USER).present);
}

TEST_F(RegistryTest, AnotherCopysValueIsLeftWhereItIs) {
    Set(true, "C:\\Other\\q.exe");
    const AutorunResult result = Set(true, "C:\\Apps\\q.exe");
    EXPECT_EQ(result.outcome, AutorunOutcome::OtherCopyStartsToo);
    EXPECT_EQ(result.otherCopyFolder, "C:\\Other");
    EXPECT_EQ(Narrow(ReadRunValue(HKEY_LOCAL_MACHINE).data), "C:\\Other\\q.exe /hiden");
    EXPECT_EQ(Narrow(ReadRunValue(HKEY_CURRENT_USER).data), "C:\\Apps\\q.exe /hiden");
    Set(false, "C:\\Apps\\q.exe");
    EXPECT_FALSE(ReadRunValue(HKEY_CURRENT_USER).present);
    EXPECT_TRUE(ReadRunValue(HKEY_LOCAL_MACHINE).present);
}

TEST_F(RegistryTest, AnExpandableValueIsReadExpandedAsWindowsStartsIt) {
    SetEnvironmentVariableW(L"QM_TEST_TOOLS", L"C:\\Tools");
    const std::wstring data = L"%QM_TEST_TOOLS%\\q.exe /hiden";
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, Widen(kRunSubkey).c_str(), Widen(kRunValueName).c_str(), REG_EXPAND_SZ,
                    data.c_str(), DWORD((data.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(registry.GetStringValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName), "C:\\Tools\\q.exe /hiden");
}

TEST(Win32PathNames, NamesCompareAsWindowsComparesThem) {
    Win32PathNames names;
    EXPECT_TRUE(names.SameName("C:\\\xD0\xA1\xD1\x87\xD1\x91\xD1\x82", "c:\\\xD1\x81\xD0\xA7\xD0\x81\xD0\xA2"));  // "Счёт", "сЧЁТ"
    EXPECT_FALSE(names.SameName("C:\\A", "C:\\B"));

    // One folder under its long, short and extended spellings resolves to one path.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"Quillmark Final Path " + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    wchar_t shortName[MAX_PATH] = {};
    GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
    const std::string final = names.FinalPath(Narrow(folder));
    EXPECT_TRUE(names.SameName(final, Narrow(folder))) << final;
    EXPECT_EQ(names.FinalPath(Narrow(shortName)), final);
    EXPECT_EQ(names.FinalPath("\\\\?\\" + Narrow(folder)), final);
    EXPECT_TRUE(SameFile(names, Narrow(shortName), Narrow(folder)));
    RemoveDirectoryW(folder.c_str());
    // A path that does not exist stays as it is.
    EXPECT_EQ(names.FinalPath("C:\\No Such Folder\\x"), "C:\\No Such Folder\\x");

    // This user's profile folder, inside the folder of all profiles.
    const std::vector<std::string> profiles = names.ProfileFolders();
    ASSERT_EQ(profiles.size(), 2u);
    EXPECT_TRUE(InUserProfile(names, profiles[0]));
    EXPECT_TRUE(names.SameName(profiles[0].substr(0, profiles[1].size()), profiles[1]))
        << profiles[0] << " / " << profiles[1];
    EXPECT_FALSE(InUserProfile(names, "C:\\Program Files\\Quillmark"));
}

}  // namespace
}  // namespace qm::win32
