#include "platform/win32/win_registry_settings.h"

#include <windows.h>

#include <vector>

#include "platform/error.h"
#include "platform/win32/win_text.h"

namespace mv::win32 {

std::wstring RegistrySettings::sectionKey(const std::string& app, const std::string& section) const {
    return root_ + L"\\" + widen(app) + L"\\" + widen(section);
}

std::string RegistrySettings::GetSetting(const std::string& app, const std::string& section, const std::string& key) {
    // Empty names would address the key's default value or a parent key, not a setting.
    if (app.empty() || section.empty() || key.empty()) return {};
    HKEY hkey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, sectionKey(app, section).c_str(), 0, KEY_QUERY_VALUE, &hkey) != ERROR_SUCCESS)
        return {};
    const std::wstring name = widen(key);
    std::string result;
    DWORD type = 0, bytes = 0;
    LONG rc = RegQueryValueExW(hkey, name.c_str(), nullptr, &type, nullptr, &bytes);
    // The size can change between the two calls when another process writes; retry then.
    for (int attempt = 0; attempt < 4 && rc == ERROR_SUCCESS; ++attempt) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) break;
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        rc = RegQueryValueExW(hkey, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (rc == ERROR_MORE_DATA) {
            bytes = got;
            rc = ERROR_SUCCESS;
            continue;
        }
        if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            // Stored strings need not be terminated; stop at the first NUL or the data's end.
            size_t len = got / sizeof(wchar_t);
            size_t end = 0;
            while (end < len && buffer[end] != L'\0') ++end;
            result = narrow(std::wstring(buffer.data(), end));
        }
        break;
    }
    RegCloseKey(hkey);
    return result;
}

void RegistrySettings::SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                                   const std::string& value) {
    if (app.empty() || section.empty() || key.empty())
        throw PlatformError(ErrInvalidProperty, "Invalid procedure call or argument");
    HKEY hkey = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, sectionKey(app, section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE, nullptr, &hkey, nullptr);
    if (rc != ERROR_SUCCESS) throw PlatformError(ErrFileAccess, "Cannot open the settings key");
    const std::wstring data = widen(value);
    rc = RegSetValueExW(hkey, widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(hkey);
    if (rc != ERROR_SUCCESS) throw PlatformError(ErrFileAccess, "Cannot write the setting " + key);
}

}  // namespace mv::win32
