// String values and the Startup switch's entries in the Win32 registry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/registry.h"

namespace qm::win32 {

class Win32Registry : public Registry {
public:
    bool SetStringValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                        const std::string& data) override;
    bool DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) override;
    std::optional<std::string> GetStringValue(RegistryRoot root, const std::string& subkey,
                                              const std::string& name) override;
    std::optional<std::vector<uint8_t>> GetStartupApproval(RegistryRoot root, const std::string& name) override;
    bool SetStartupApproval(RegistryRoot root, const std::string& name, const std::vector<uint8_t>& data) override;
};

}  // namespace qm::win32
