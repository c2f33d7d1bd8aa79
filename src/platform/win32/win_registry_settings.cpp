#include "platform/win32/win_registry_settings.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/error.h"
#include "platform/win32/win_text.h"

namespace mv::win32 {

std::wstring RegistrySettings::sectionKey(const std::string& app, const std::string& section) const {
    return root_ + L"\\" + widen(app) + L"\\" + widen(section);
}

namespace {

std::wstring expanded(const std::wstring& text) {
    std::wstring out(std::max<size_t>(text.size() + 1, 260), L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n = ExpandEnvironmentStringsW(text.c_str(), out.data(), static_cast<DWORD>(out.size()));
        if (n == 0) return text;
        if (n <= out.size()) return out.substr(0, n - 1);
        out.assign(n, L'\0');
    }
    return text;
}

// A stored value as text: strings as they are (with the variables of an expandable string
// filled in), numbers as their decimal text, as people store them by hand; other types count
// as missing.
std::string valueText(DWORD type, const std::vector<BYTE>& data, DWORD size) {
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        // Stored strings need not be terminated; stop at the first NUL or the data's end.
        const auto* chars = reinterpret_cast<const wchar_t*>(data.data());
        size_t end = 0;
        while (end < size / sizeof(wchar_t) && chars[end] != L'\0') ++end;
        const std::wstring text(chars, end);
        return narrow(type == REG_EXPAND_SZ ? expanded(text) : text);
    }
    case REG_DWORD:
        if (size != 4) return {};
        return std::to_string(static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                              static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24);
    case REG_QWORD: {
        if (size != 8) return {};
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i) v = v << 8 | data[static_cast<size_t>(i)];
        return std::to_string(v);
    }
    default:
        return {};
    }
}

}  // namespace

std::string RegistrySettings::location(const std::string& app) const {
    return narrow(L"HKEY_CURRENT_USER\\" + root_ + L"\\" + widen(app));
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
        std::vector<BYTE> buffer(bytes + sizeof(wchar_t), 0);
        DWORD got = static_cast<DWORD>(buffer.size());
        rc = RegQueryValueExW(hkey, name.c_str(), nullptr, &type, buffer.data(), &got);
        if (rc == ERROR_MORE_DATA) {
            bytes = got;
            rc = ERROR_SUCCESS;
            continue;
        }
        if (rc == ERROR_SUCCESS) result = valueText(type, buffer, got);
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
