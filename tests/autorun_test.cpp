#include "app/autorun.h"

#include <gtest/gtest.h>

#include "tests/fakes.h"

namespace qm {
namespace {

const std::string kMachineKey = test::FakeRegistry::Key(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName);
const std::string kUserKey = test::FakeRegistry::Key(RegistryRoot::CurrentUser, kRunSubkey, kRunValueName);

TEST(AutorunCommand, FolderNameExeAndSwitch) {
    std::string command = AutorunCommand("C:\\Apps\\Counter\\counter.exe");
    EXPECT_EQ(command, "C:\\Apps\\Counter\\counter.exe /hiden");
    EXPECT_EQ(command.size(), 34u);
    // A drive root has its backslash already.
    EXPECT_EQ(AutorunCommand("D:\\counter.exe"), "D:\\counter.exe /hiden");
    // The extension written is always .exe.
    EXPECT_EQ(AutorunCommand("C:\\Apps\\counter.bin"), "C:\\Apps\\counter.exe /hiden");
}

TEST(AutorunCommand, PathWithBlanksIsQuoted) {
    EXPECT_EQ(AutorunCommand("C:\\Program Files\\Quillmark\\quillmark.exe"),
              "\"C:\\Program Files\\Quillmark\\quillmark.exe\" /hiden");
}

TEST(SetAutorun, SetWritesTheMachineValueAndClearDeletesIt) {
    test::FakeRegistry registry;
    SetAutorun(true, registry, "C:\\Apps\\Counter\\counter.exe");
    EXPECT_EQ(registry.values, (std::map<std::string, std::string>{
                                   {kMachineKey, "C:\\Apps\\Counter\\counter.exe /hiden"}}));
    SetAutorun(false, registry, "C:\\Apps\\Counter\\counter.exe");
    EXPECT_TRUE(registry.values.empty());
    SetAutorun(false, registry, "C:\\Apps\\Counter\\counter.exe");  // absent: silent
    EXPECT_TRUE(registry.values.empty());
}

TEST(SetAutorun, StandardUserFallsBackToTheUsersRunKey) {
    test::FakeRegistry registry;
    registry.machineWritable = false;
    SetAutorun(true, registry, "C:\\Apps\\q.exe");
    EXPECT_EQ(registry.values, (std::map<std::string, std::string>{{kUserKey, "C:\\Apps\\q.exe /hiden"}}));
    SetAutorun(false, registry, "C:\\Apps\\q.exe");
    EXPECT_TRUE(registry.values.empty());
}

TEST(SetAutorun, MachineValueReplacesAnEarlierUserValue) {
    test::FakeRegistry registry;
    registry.values[kUserKey] = "C:\\Old\\q.exe /hiden";
    SetAutorun(true, registry, "C:\\Apps\\q.exe");
    EXPECT_EQ(registry.values, (std::map<std::string, std::string>{{kMachineKey, "C:\\Apps\\q.exe /hiden"}}));
}

TEST(SetAutorun, AdministratorsValueIsNotDoubledAndItsRemovalIsNotPretended) {
    test::FakeRegistry registry;
    registry.values[kMachineKey] = "C:\\APPS\\q.exe /hiden";  // an administrator's, for this copy
    registry.machineWritable = false;
    EXPECT_EQ(SetAutorun(true, registry, "C:\\Apps\\q.exe"), AutorunOutcome::Done);
    EXPECT_EQ(registry.values.count(kUserKey), 0u);  // a second value would start a second copy
    EXPECT_EQ(SetAutorun(false, registry, "C:\\Apps\\q.exe"), AutorunOutcome::MachineValueRemains);
    EXPECT_EQ(registry.values.count(kMachineKey), 1u);

    // An administrator's value for another copy: this user's copy gets a value of its own.
    registry.values[kMachineKey] = "D:\\Other\\q.exe /hiden";
    SetAutorun(true, registry, "C:\\Apps\\q.exe");
    EXPECT_EQ(registry.values[kUserKey], "C:\\Apps\\q.exe /hiden");
}

}  // namespace
}  // namespace qm
