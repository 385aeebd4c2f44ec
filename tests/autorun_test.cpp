#include "app/autorun.h"

#include <gtest/gtest.h>

#include "tests/fakes.h"

namespace qm {
namespace {

const std::string kMachineKey = test::FakeRegistry::Key(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName);
const std::string kUserKey = test::FakeRegistry::Key(RegistryRoot::CurrentUser, kRunSubkey, kRunValueName);
using Values = std::map<std::string, std::string>;

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

TEST(ProgramOfCommand, QuotedOrNotWithoutTheSwitch) {
    EXPECT_EQ(ProgramOfCommand("\"C:\\Program Files\\Q\\q.exe\" /hiden"), "C:\\Program Files\\Q\\q.exe");
    // Earlier versions wrote a path with blanks without quotation marks.
    EXPECT_EQ(ProgramOfCommand("C:\\Program Files\\Q\\q.exe /hiden"), "C:\\Program Files\\Q\\q.exe");
    EXPECT_EQ(ProgramOfCommand("  C:\\Q\\q.exe  "), "C:\\Q\\q.exe");
    EXPECT_EQ(ProgramOfCommand("\"C:\\Q\\q.exe"), "C:\\Q\\q.exe");
    EXPECT_EQ(ProgramOfCommand(""), "");
}

TEST(InUserProfile, AnySpellingOfAFolderUnderAProfile) {
    test::FakePathNames names;  // profiles: C:\Users\ann, C:\Users
    EXPECT_TRUE(InUserProfile(names, "C:\\Users\\ann\\AppData\\Local\\Programs\\Quillmark"));
    EXPECT_TRUE(InUserProfile(names, "c:\\users\\BOB\\Tools\\"));   // another user's profile
    EXPECT_TRUE(InUserProfile(names, "\\\\?\\C:\\Users\\ann\\Q"));
    EXPECT_FALSE(InUserProfile(names, "C:\\Program Files\\Quillmark"));
    EXPECT_FALSE(InUserProfile(names, "C:\\UsersOld\\ann\\Q"));     // a name that merely begins alike
    EXPECT_FALSE(InUserProfile(names, "C:\\"));

    // A substitute drive or a link into a profile, and a profile folder named in 8.3 form.
    names.final["S:\\Q"] = "\\\\?\\C:\\Users\\ann\\Apps\\Q";
    EXPECT_TRUE(InUserProfile(names, "S:\\Q"));
    names.profiles = {"C:\\DOCUME~1\\ann"};
    names.final["C:\\DOCUME~1\\ann"] = "C:\\Documents and Settings\\ann";
    EXPECT_TRUE(InUserProfile(names, "C:\\Documents and Settings\\ann\\Q"));
    EXPECT_FALSE(InUserProfile(names, "C:\\Documents and Settings\\bob\\Q"));
    names.profiles = {};
    EXPECT_FALSE(InUserProfile(names, "C:\\Users\\ann\\Q"));
}

struct SetAutorunTest : ::testing::Test {
    test::FakeRegistry registry;
    test::FakePathNames names;
    const std::string tools = "C:\\Tools\\Quillmark\\quillmark.exe";
    const std::string mine = "C:\\Users\\ann\\AppData\\Local\\Programs\\Quillmark\\quillmark.exe";
    AutorunResult Set(bool flag, const std::string& program) { return SetAutorun(flag, registry, names, program); }
};

TEST_F(SetAutorunTest, CopyOutsideProfilesUsesTheMachineKeyWhereItMayWrite) {
    EXPECT_EQ(Set(true, tools).outcome, AutorunOutcome::Done);
    EXPECT_EQ(registry.values, (Values{{kMachineKey, "C:\\Tools\\Quillmark\\quillmark.exe /hiden"}}));
    EXPECT_EQ(Set(false, tools).outcome, AutorunOutcome::Done);
    EXPECT_TRUE(registry.values.empty());
    EXPECT_EQ(Set(false, tools).outcome, AutorunOutcome::Done);  // absent: silent

    // A standard user: the user's key.
    registry.machineWritable = false;
    Set(true, tools);
    EXPECT_EQ(registry.values, (Values{{kUserKey, "C:\\Tools\\Quillmark\\quillmark.exe /hiden"}}));
    Set(false, tools);
    EXPECT_TRUE(registry.values.empty());
}

TEST_F(SetAutorunTest, CopyInAProfileUsesTheUsersKeyOnlyElevatedOrNot) {
    for (bool elevated : {true, false}) {
        registry.values.clear();
        registry.machineWritable = elevated;
        Set(true, mine);
        EXPECT_EQ(registry.values, (Values{{kUserKey, AutorunCommand(mine)}})) << elevated;
        Set(false, mine);
        EXPECT_TRUE(registry.values.empty()) << elevated;
    }
    // An earlier version's machine value for this copy: an elevated run moves it.
    registry.machineWritable = true;
    registry.values[kMachineKey] = AutorunCommand(mine);
    Set(true, mine);
    EXPECT_EQ(registry.values, (Values{{kUserKey, AutorunCommand(mine)}}));
}

TEST_F(SetAutorunTest, ThisCopysMachineValueThatOnlyAnAdministratorMayRemove) {
    registry.values[kMachineKey] = "\"C:\\USERS\\ANN\\AppData\\Local\\Programs\\Quillmark\\QUILLMARK.EXE\" /hiden";
    registry.values[kUserKey] = AutorunCommand(mine);
    registry.machineWritable = false;
    // It starts this copy already: a second value would start it twice.
    EXPECT_EQ(Set(true, mine).outcome, AutorunOutcome::Done);
    EXPECT_EQ(registry.values.count(kUserKey), 0u);
    EXPECT_EQ(Set(false, mine).outcome, AutorunOutcome::MachineValueRemains);
    EXPECT_EQ(registry.values.count(kMachineKey), 1u);

    // The same outside a profile, the value in the unquoted form of earlier versions.
    registry.values = {{kMachineKey, "c:\\tools\\quillmark\\quillmark.exe /hiden"}};
    EXPECT_EQ(Set(true, tools).outcome, AutorunOutcome::Done);
    EXPECT_EQ(registry.values.size(), 1u);
    EXPECT_EQ(Set(false, tools).outcome, AutorunOutcome::MachineValueRemains);
}

TEST_F(SetAutorunTest, AnotherCopysMachineValueStaysAndIsNamed) {
    const std::string other = "\"C:\\Program Files\\Quillmark\\quillmark.exe\" /hiden";
    for (const std::string& program : {tools, mine}) {
        for (bool elevated : {true, false}) {
            registry.values = {{kMachineKey, other}};
            registry.machineWritable = elevated;
            const AutorunResult result = Set(true, program);
            EXPECT_EQ(result.outcome, AutorunOutcome::OtherCopyStartsToo);
            EXPECT_EQ(result.otherCopyFolder, "C:\\Program Files\\Quillmark");
            EXPECT_EQ(registry.values, (Values{{kMachineKey, other}, {kUserKey, AutorunCommand(program)}}))
                << program << elevated;
            // Turning this copy off takes its own value and leaves the other's.
            EXPECT_EQ(Set(false, program).outcome, AutorunOutcome::Done);
            EXPECT_EQ(registry.values, (Values{{kMachineKey, other}}));
        }
    }
}

TEST_F(SetAutorunTest, AnotherCopysUserValueIsReplacedOnAndLeftOff) {
    const std::string other = "D:\\Old\\quillmark.exe /hiden";
    for (const std::string& program : {tools, mine}) {
        registry.values = {{kUserKey, other}};
        Set(false, program);
        EXPECT_EQ(registry.values, (Values{{kUserKey, other}})) << program;
        // One value per logon: this copy's takes the place of the other's.
        EXPECT_EQ(Set(true, program).outcome, AutorunOutcome::Done);
        EXPECT_EQ(registry.values.count(kUserKey) + registry.values.count(kMachineKey), 1u) << program;
        for (const auto& [key, command] : registry.values) EXPECT_EQ(command, AutorunCommand(program));
    }
}

TEST_F(SetAutorunTest, ThisCopyIsKnownUnderAnotherSpellingOfItsPath) {
    // The value names the program through a substitute drive; the file system resolves both to one file.
    registry.values[kMachineKey] = "T:\\quillmark.exe /hiden";
    names.final["T:\\quillmark.exe"] = "\\\\?\\C:\\Tools\\Quillmark\\quillmark.exe";
    names.final[tools] = "\\\\?\\C:\\Tools\\Quillmark\\quillmark.exe";
    EXPECT_EQ(Set(false, tools).outcome, AutorunOutcome::Done);
    EXPECT_TRUE(registry.values.empty());
}

}  // namespace
}  // namespace qm
