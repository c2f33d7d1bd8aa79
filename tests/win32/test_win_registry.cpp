// The registry settings store, under a throw-away key: never the user's own settings.
#include <gtest/gtest.h>

#include <windows.h>

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
        RegGetValueW(HKEY_CURRENT_USER, sub.c_str(), win32::widen(key).c_str(), RRF_RT_ANY, &type, nullptr, nullptr);
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

TEST_F(RegistryStore, ForeignValueTypesAndUnterminatedStringsReadCalmly) {
    store.SaveSetting("App", "Settings", "Mousesens", "1");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, store.sectionKey("App", "Settings").c_str(), 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const DWORD number = 7;
    RegSetValueExW(key, L"Mousesens", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    const wchar_t raw[] = {L'4', L'2'};  // no terminating NUL stored
    RegSetValueExW(key, L"BackColors", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), sizeof(raw));
    RegCloseKey(key);
    EXPECT_EQ(store.GetSetting("App", "Settings", "Mousesens"), "");
    EXPECT_EQ(store.GetSetting("App", "Settings", "BackColors"), "42");
}

TEST_F(RegistryStore, EmptyNamesAreRefusedRatherThanWrittenElsewhere) {
    EXPECT_THROW(store.SaveSetting("App", "Settings", "", "x"), PlatformError);
    EXPECT_THROW(store.SaveSetting("", "Settings", "Key", "x"), PlatformError);
    EXPECT_EQ(store.GetSetting("App", "Settings", ""), "");
}
