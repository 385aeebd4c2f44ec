// Registration to start with Windows: one REG_SZ value under the Run key.
#pragma once

#include <optional>
#include <string>

namespace qm {

enum class RegistryRoot { LocalMachine, CurrentUser };

// The registry operations the autorun registration needs.
class Registry {
public:
    virtual ~Registry() = default;
    // Creates the key when missing and writes the REG_SZ value; true on success.
    virtual bool SetStringValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                                const std::string& data) = 0;
    // Deletes the value; true when it was deleted.
    virtual bool DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) = 0;
    // The text of a string value; nothing when it is not there or cannot be read.
    virtual std::optional<std::string> GetStringValue(RegistryRoot root, const std::string& subkey,
                                                      const std::string& name) = 0;
};

inline constexpr const char* kRunSubkey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValueName = "Velturn Quillmark";
inline constexpr const char* kStartHiddenSwitch = "/hiden";

// The command the Run value holds: the program folder with a backslash, the
// program's name with ".exe", then " /hiden". A path with a blank is put in
// quotation marks, so that Windows cannot start C:\Program.exe instead.
std::string AutorunCommand(const std::string& programPath);

enum class AutorunOutcome {
    Done,
    // Clearing could not delete the value under HKEY_LOCAL_MACHINE (an
    // administrator's, which a standard user may not remove): the program
    // still starts with Windows.
    MachineValueRemains,
};

// Writes the Run value when the flag is set, deletes it otherwise. The value
// goes under HKEY_LOCAL_MACHINE, or under HKEY_CURRENT_USER where a standard
// user may not write the machine's key, unless the machine's value already
// holds this command (two values would start two copies); clearing deletes
// it from both. Other failures are silent.
AutorunOutcome SetAutorun(bool flag, Registry& registry, const std::string& programPath);

}  // namespace qm
