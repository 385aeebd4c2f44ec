#include "app/autorun.h"

#include "core/text.h"

namespace qm {

std::string AutorunCommand(const std::string& programPath) {
    std::string program = AddBackslash(FolderOfPath(programPath)) + StemOfPath(programPath) + ".exe";
    if (program.find(' ') != std::string::npos) program = "\"" + program + "\"";
    return program + " " + kStartHiddenSwitch;
}

void SetAutorun(bool flag, Registry& registry, const std::string& programPath) {
    if (flag) {
        const std::string command = AutorunCommand(programPath);
        if (registry.SetStringValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName, command)) {
            // A value left under the user's key by an earlier fallback would start a second copy.
            registry.DeleteValue(RegistryRoot::CurrentUser, kRunSubkey, kRunValueName);
        } else {
            registry.SetStringValue(RegistryRoot::CurrentUser, kRunSubkey, kRunValueName, command);
        }
    } else {
        registry.DeleteValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName);
        registry.DeleteValue(RegistryRoot::CurrentUser, kRunSubkey, kRunValueName);
    }
}

}  // namespace qm
