// The registry settings store, under a throw-away key: never the user's own settings.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <random>

#include "platform/error.h"
#include "platform/win32/win_registry_settings.h"
#include "platform/win32/win_text.h"

using namespace mv;

namespace {

class RegistryStore : public ::testing::Test {
protected:
    RegistryStore() : root(L"Software\\MarvoscopeTest-" + std::to_wstring(std::random_device{}())), store(root) {}
    ~RegistryStore() override { RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str()); }

    DWORD typeOf(const std::string& key) {
        DWORD type = 0;
        const std::wstring sub = store.sectionKey("App", "Settings");
        RegGetValueW(HKEY_CURRENT_USER, sub.c_str(), win32::widen(key).c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
        return type;
    }

    std::wstring root;
    win32::RegistrySettings store;
};

}  // namespace

TEST(RegistryLocation, IsTheClassicPerUserSettingsKey) {
    win32::RegistrySettings real;
    EXPECT_EQ(real.sectionKey("Marvoscope 1.0 Demo", "Settings"),
              L"Software\\VB and VBA Program Settings\\Marvoscope 1.0 Demo\\Settings");
}

TEST_F(RegistryStore, MissingValuesSectionsAndAppsReadEmpty) {
    EXPECT_EQ(store.GetSetting("App", "Settings", "AniFile"), "");
    store.SaveSetting("App", "Settings", "Mousesens", "15");
    EXPECT_EQ(store.GetSetting("App", "Settings", "AniFile"), "");
    EXPECT_EQ(store.GetSetting("App", "Other", "Mousesens"), "");
    EXPECT_EQ(store.GetSetting("Other", "Settings", "Mousesens"), "");
}

TEST_F(RegistryStore, SavesStringValuesAndReadsThemBack) {
    store.SaveSetting("App", "Settings", "AniFile", "C:\\Bilder\\Кошка 猫.jpg");
    store.SaveSetting("App", "Settings", "BackColors", "16711680");
    store.SaveSetting("App", "Settings", "BackColors", "255");  // replaces
    store.SaveSetting("App", "Settings", "Empty", "");
    EXPECT_EQ(store.GetSetting("App", "Settings", "AniFile"), "C:\\Bilder\\Кошка 猫.jpg");
    EXPECT_EQ(store.GetSetting("App", "Settings", "BackColors"), "255");
    EXPECT_EQ(store.GetSetting("App", "Settings", "Empty"), "");
    EXPECT_EQ(typeOf("AniFile"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(typeOf("BackColors"), static_cast<DWORD>(REG_SZ));
}

TEST_F(RegistryStore, LongValuesSurviveWhole) {
    std::string longText(5000, 'x');
    longText += "end";
    store.SaveSetting("App", "Settings", "AniFile", longText);
    EXPECT_EQ(store.GetSetting("App", "Settings", "AniFile"), longText);
}

// Values stored by hand or by other tools: numbers read as their decimal text, expandable
// strings expanded, other types as missing; a save over any of them writes a plain string.
TEST_F(RegistryStore, EveryValueTypeReadsAsItsTextOrAsMissing) {
    wchar_t drive[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"SystemDrive", drive, MAX_PATH), 0u);
    const std::wstring expandable = L"%SystemDrive%\\pics\\demo.jpg";
    const wchar_t unterminated[] = {L'4', L'2'};
    const wchar_t multi[] = L"a\0b\0";
    const uint32_t dword = 15, dwordMax = 0xFFFFFFFFu;
    const uint64_t qword = 1099511627776ull;
    const uint16_t shortNumber = 15;
    struct Case {
        const char* what;
        DWORD type;
        const void* data;
        DWORD size;
        std::string read;
    };
    const Case cases[] = {
        {"REG_DWORD", REG_DWORD, &dword, 4, "15"},
        {"REG_DWORD, all bits", REG_DWORD, &dwordMax, 4, "4294967295"},
        {"REG_DWORD, too short", REG_DWORD, &shortNumber, 2, ""},
        {"REG_QWORD", REG_QWORD, &qword, 8, "1099511627776"},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, expandable.c_str(), static_cast<DWORD>((expandable.size() + 1) * 2),
         win32::narrow(std::wstring(drive) + L"\\pics\\demo.jpg")},
        {"REG_SZ without its NUL", REG_SZ, unterminated, sizeof(unterminated), "42"},
        {"REG_MULTI_SZ", REG_MULTI_SZ, multi, sizeof(multi), ""},
        {"REG_BINARY", REG_BINARY, &dword, 4, ""},
        {"REG_NONE", REG_NONE, nullptr, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        store.SaveSetting("App", "Settings", "Mousesens", "1");
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, store.sectionKey("App", "Settings").c_str(), 0, KEY_SET_VALUE, &key),
                  ERROR_SUCCESS);
        RegSetValueExW(key, L"Mousesens", 0, c.type, static_cast<const BYTE*>(c.data), c.size);
        RegCloseKey(key);
        EXPECT_EQ(typeOf("Mousesens"), c.type);
        EXPECT_EQ(store.GetSetting("App", "Settings", "Mousesens"), c.read);
        store.SaveSetting("App", "Settings", "Mousesens", "9");
        EXPECT_EQ(typeOf("Mousesens"), static_cast<DWORD>(REG_SZ));
    }
    EXPECT_EQ(store.location("App"), win32::narrow(L"HKEY_CURRENT_USER\\" + root + L"\\App"));
}

TEST_F(RegistryStore, EmptyNamesAreRefusedRatherThanWrittenElsewhere) {
    EXPECT_THROW(store.SaveSetting("App", "Settings", "", "x"), PlatformError);
    EXPECT_THROW(store.SaveSetting("", "Settings", "Key", "x"), PlatformError);
    EXPECT_EQ(store.GetSetting("App", "Settings", ""), "");
}
