// SetAutorun against the real registry (under Wine in CI).
#include <gtest/gtest.h>

#include "app/autorun.h"
#include "win32/handles.h"
#include "win32/platform.h"
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
    void SetUp() override { SetAutorun(false, registry, "C:\\x.exe"); }
    void TearDown() override { SetAutorun(false, registry, "C:\\x.exe"); }
};

TEST_F(RegistryTest, SetWritesAStringValueWithItsTerminatingNul) {
    SetAutorun(true, registry, "C:\\Apps\\Counter\\counter.exe");
    RunValue value = ReadRunValue(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(value.present);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Narrow(value.data), "C:\\Apps\\Counter\\counter.exe /hiden");
    EXPECT_EQ(value.bytes, (34u + 1u) * sizeof(wchar_t));
    EXPECT_FALSE(ReadRunValue(HKEY_CURRENT_USER).present);
}

TEST_F(RegistryTest, ClearDeletesTheValueAndKeepsTheKey) {
    SetAutorun(true, registry, "C:\\Apps\\q.exe");
    SetAutorun(false, registry, "C:\\Apps\\q.exe");
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE).present);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE));
    // Clearing again, with nothing there, changes nothing and reports nothing.
    SetAutorun(false, registry, "C:\\Apps\\q.exe");
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE).present);
}

TEST_F(RegistryTest, PathWithBlanksIsQuotedAndDriveRootHasOneBackslash) {
    SetAutorun(true, registry, "C:\\Program Files\\Quillmark\\quillmark.exe");
    EXPECT_EQ(Narrow(ReadRunValue(HKEY_LOCAL_MACHINE).data),
              "\"C:\\Program Files\\Quillmark\\quillmark.exe\" /hiden");
    SetAutorun(true, registry, "D:\\counter.exe");
    EXPECT_EQ(Narrow(ReadRunValue(HKEY_LOCAL_MACHINE).data), "D:\\counter.exe /hiden");
}

TEST_F(RegistryTest, UnicodeFolderSurvivesTheRoundTrip) {
    const std::string path = "C:\\\xD0\xA1\xD1\x87\xD1\x91\xD1\x82\\q.exe";  // "Счёт"
    SetAutorun(true, registry, path);
    EXPECT_EQ(Narrow(ReadRunValue(HKEY_LOCAL_MACHINE).data), path + " /hiden");
    // Read back as the program reads it before deciding on a second value.
    EXPECT_EQ(registry.GetStringValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName), path + " /hiden");
    SetAutorun(false, registry, path);
    EXPECT_EQ(registry.GetStringValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName), std::nullopt);
}

}  // namespace
}  // namespace qm::win32
