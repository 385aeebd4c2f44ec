#include "app/autorun.h"

#include "core/text.h"

namespace qm {

namespace {

// The program the Run value names for this copy: always with ".exe".
std::string AutorunProgram(const std::string& programPath) {
    return AddBackslash(FolderOfPath(programPath)) + StemOfPath(programPath) + ".exe";
}

void TrimBlanksAtEnd(std::string& text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
}

// Without the extended-length prefix and a trailing backslash, so that two
// spellings of one folder can be compared name for name.
std::string Plain(std::string path) {
    if (path.rfind("\\\\?\\UNC\\", 0) == 0)
        path = "\\\\" + path.substr(8);
    else if (path.rfind("\\\\?\\", 0) == 0)
        path = path.substr(4);
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

// The folder above; empty above the top.
std::string Parent(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos || slash == 0 ? std::string() : Plain(path.substr(0, slash));
}

bool StartsThisCopy(PathNames& names, const std::optional<std::string>& value, const std::string& program) {
    return value && SameFile(names, ProgramOfCommand(*value), program);
}

// Whether Windows' Startup switch has the Run value of that root off: bit 0
// of the first byte of its entry (02 and 06 are on, 03 and 07 off). No entry
// is on.
bool SwitchedOff(Registry& registry, RegistryRoot root) {
    const std::optional<std::vector<uint8_t>> entry = registry.GetStartupApproval(root, kRunValueName);
    return entry && !entry->empty() && ((*entry)[0] & 1) != 0;
}

// Windows' Startup switch on, as Task Manager writes it.
const std::vector<uint8_t> kSwitchedOn = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

}  // namespace

std::string AutorunCommand(const std::string& programPath) {
    std::string program = AutorunProgram(programPath);
    if (program.find(' ') != std::string::npos) program = "\"" + program + "\"";
    return program + " " + kStartHiddenSwitch;
}

std::string ProgramOfCommand(const std::string& command) {
    const size_t start = command.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    if (command[start] == '"') {
        const size_t end = command.find('"', start + 1);
        return command.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    }
    std::string program = command.substr(start);
    TrimBlanksAtEnd(program);
    const std::string hidden = kStartHiddenSwitch;
    if (program.size() > hidden.size() &&
        program.compare(program.size() - hidden.size(), hidden.size(), hidden) == 0) {
        program.resize(program.size() - hidden.size());
        TrimBlanksAtEnd(program);
    }
    return program;
}

bool SameFile(PathNames& names, const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    return names.SameName(Plain(a), Plain(b)) || names.SameName(Plain(names.FinalPath(a)), Plain(names.FinalPath(b)));
}

bool InUserProfile(PathNames& names, const std::string& folder) {
    const std::string resolved = Plain(names.FinalPath(folder));
    for (const std::string& profiles : names.ProfileFolders()) {
        if (profiles.empty()) continue;
        const std::string root = Plain(names.FinalPath(profiles));
        for (std::string f = resolved; !f.empty(); f = Parent(f))
            if (names.SameName(f, root)) return true;
    }
    return false;
}

bool AutorunDisabledByWindows(Registry& registry, PathNames& names, const std::string& programPath) {
    const std::string program = AutorunProgram(programPath);
    bool registered = false;
    for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
        if (!StartsThisCopy(names, registry.GetStringValue(root, kRunSubkey, kRunValueName), program)) continue;
        if (!SwitchedOff(registry, root)) return false;
        registered = true;
    }
    return registered;
}

AutorunResult SetAutorun(bool flag, Registry& registry, PathNames& names, const std::string& programPath) {
    const std::string program = AutorunProgram(programPath);
    const auto startsThisCopy = [&](const std::optional<std::string>& value) {
        return StartsThisCopy(names, value, program);
    };
    const auto read = [&](RegistryRoot root) { return registry.GetStringValue(root, kRunSubkey, kRunValueName); };
    const auto remove = [&](RegistryRoot root) { registry.DeleteValue(root, kRunSubkey, kRunValueName); };
    const auto switchOn = [&](RegistryRoot root) {
        if (SwitchedOff(registry, root)) registry.SetStartupApproval(root, kRunValueName, kSwitchedOn);
    };
    const std::optional<std::string> machine = read(RegistryRoot::LocalMachine);

    if (!flag) {
        // Only this copy's values go: another copy's are its own to switch off.
        if (startsThisCopy(read(RegistryRoot::CurrentUser))) remove(RegistryRoot::CurrentUser);
        if (!startsThisCopy(machine)) return {};
        remove(RegistryRoot::LocalMachine);
        AutorunResult result;
        if (startsThisCopy(read(RegistryRoot::LocalMachine))) result.outcome = AutorunOutcome::MachineValueRemains;
        return result;
    }

    const std::string command = AutorunCommand(programPath);
    if (machine && !startsThisCopy(machine)) {
        // Another copy starts for every user and is not this one's to take
        // over; this user's logon starts this copy too, from the user's key.
        registry.SetStringValue(RegistryRoot::CurrentUser, kRunSubkey, kRunValueName, command);
        switchOn(RegistryRoot::CurrentUser);
        return {AutorunOutcome::OtherCopyStartsToo, FolderOfPath(ProgramOfCommand(*machine))};
    }
    bool machineStartsIt = machine.has_value();
    if (InUserProfile(names, FolderOfPath(programPath))) {
        // A copy in a user's profile counts into that user's files: started
        // at every user's logon, it would count everyone's input there.
        if (machineStartsIt) {
            remove(RegistryRoot::LocalMachine);
            machineStartsIt = startsThisCopy(read(RegistryRoot::LocalMachine));
        }
    } else {
        machineStartsIt =
            registry.SetStringValue(RegistryRoot::LocalMachine, kRunSubkey, kRunValueName, command) || machineStartsIt;
    }
    // One value per logon: a second would start a second copy.
    if (machineStartsIt) {
        switchOn(RegistryRoot::LocalMachine);
        remove(RegistryRoot::CurrentUser);
    } else {
        registry.SetStringValue(RegistryRoot::CurrentUser, kRunSubkey, kRunValueName, command);
        switchOn(RegistryRoot::CurrentUser);
    }
    return {};
}

}  // namespace qm
