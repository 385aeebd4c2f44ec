// String values in the Win32 registry.
#pragma once

#include <optional>
#include <string>

#include "core/platform/registry.h"

namespace qm::win32 {

class Win32Registry : public Registry {
public:
    bool SetStringValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                        const std::string& data) override;
    bool DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) override;
    std::optional<std::string> GetStringValue(RegistryRoot root, const std::string& subkey,
                                              const std::string& name) override;
};

}  // namespace qm::win32
