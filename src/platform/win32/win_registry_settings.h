#pragma once
#include <string>

#include "platform/platform.h"

namespace mv::win32 {

// The per-user store behind the classic GetSetting/SaveSetting: one registry key per
// application and section under HKEY_CURRENT_USER\<root>, each value a REG_SZ string. Values
// stored by hand as numbers or expandable strings read as their text; each save writes one value.
class RegistrySettings : public SettingsStore {
public:
    static constexpr const wchar_t* kDefaultRoot = L"Software\\VB and VBA Program Settings";

    explicit RegistrySettings(std::wstring root = kDefaultRoot) : root_(std::move(root)) {}

    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::string location(const std::string& app) const override;

    // The full subkey of HKEY_CURRENT_USER that holds one section.
    std::wstring sectionKey(const std::string& app, const std::string& section) const;

private:
    std::wstring root_;
};

}  // namespace mv::win32
