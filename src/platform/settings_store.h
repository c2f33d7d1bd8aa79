#pragma once
#include <string>

namespace mv {

// The per-user store of named text values, addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or "" when the value (or its section or application) does not exist.
    virtual std::string GetSetting(const std::string& app, const std::string& section, const std::string& key) = 0;
    // Creates or replaces one value; throws PlatformError when the store cannot be written.
    virtual void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

}  // namespace mv
