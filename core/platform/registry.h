// The system registry, as far as the program uses it: string values, and
// the entries of Windows' own Startup switch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
    // The text of a string value, a REG_EXPAND_SZ one with its %NAME% parts
    // expanded; nothing when it is not there or cannot be read.
    virtual std::optional<std::string> GetStringValue(RegistryRoot root, const std::string& subkey,
                                                      const std::string& name) = 0;
    // The entry that Windows' Startup switch (Task Manager, and Settings,
    // Apps, Startup) keeps for the Run value of that name under that root:
    // its binary data; nothing when there is none.
    virtual std::optional<std::vector<uint8_t>> GetStartupApproval(RegistryRoot root, const std::string& name) = 0;
    // Writes that entry; true on success.
    virtual bool SetStartupApproval(RegistryRoot root, const std::string& name, const std::vector<uint8_t>& data) = 0;
};

}  // namespace qm
