// Registration to start with Windows: one REG_SZ value under the Run key.
#pragma once

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
};

inline constexpr const char* kRunSubkey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValueName = "Velturn Quillmark";
inline constexpr const char* kStartHiddenSwitch = "/hiden";

// The command the Run value holds: the program folder with a backslash, the
// program's name with ".exe", then " /hiden". A path with a blank is put in
// quotation marks, so that Windows cannot start C:\Program.exe instead.
std::string AutorunCommand(const std::string& programPath);

// Writes the Run value when the flag is set, deletes it otherwise. The value
// goes under HKEY_LOCAL_MACHINE, or under HKEY_CURRENT_USER where a standard
// user may not write the machine's key; clearing deletes it from both.
// Failures are silent: the flag stays what the user asked for.
void SetAutorun(bool flag, Registry& registry, const std::string& programPath);

}  // namespace qm
