#include "app/autorun.h"

#include "core/text.h"

namespace qm {

std::string AutorunCommand(const std::string& programPath) {
    std::string program = AddBackslash(FolderOfPath(programPath)) + StemOfPath(programPath) + ".exe";
    if (program.find(' ') != std::string::npos) program = "\"" + program + "\"";
    return program + " " + kStartHiddenSwitch;
}

namespace {
bool SameCommand(const std::string& a, const std::string& b) {
    // Windows compares paths without regard to letter case.
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}
}  // namespace

AutorunOutcome SetAutorun(bool flag, Registry& registry, const std::string& programPath) {
    if (flag) {
        const std::string command = AutorunCommand(programPath);
        if (!registry.SetStringValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName, command)) {
            std::optional<std::string> machine =
                registry.GetStringValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName);
            if (!machine || !SameCommand(*machine, command)) {
                registry.SetStringValue(RegistryRoot::CurrentUser, kRunSubkey, kRunValueName, command);
                return AutorunOutcome::Done;
            }
        }
        // The machine's value starts the program: one under the user's key would start a second copy.
        registry.DeleteValue(RegistryRoot::CurrentUser, kRunSubkey, kRunValueName);
        return AutorunOutcome::Done;
    }
    registry.DeleteValue(RegistryRoot::CurrentUser, kRunSubkey, kRunValueName);
    registry.DeleteValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName);
    return registry.GetStringValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName)
               ? AutorunOutcome::MachineValueRemains
               : AutorunOutcome::Done;
}

}  // namespace qm
