#pragma once
// The stored settings: where they live, and how each window reads them.
#include <string>
#include <utility>
#include <vector>

#include "platform/picture/placement.h"

namespace mv {

struct App;

inline constexpr const char* kAppName = "Marvoscope 1.0 Demo";
inline constexpr const char* kSection = "Settings";
inline constexpr const char* kKeyAniFile = "AniFile";
inline constexpr const char* kKeyMouseSens = "Mousesens";
inline constexpr const char* kKeyBackColors = "BackColors";
inline constexpr const char* kKeyPlacement = "Placement";
inline constexpr const char* kKeyMonitors = "Monitors";

std::string GetSetting(App& app, const std::string& key);
void SaveSetting(App& app, const std::string& key, const std::string& value);
// Saves the keys together: in one replacement where the store can, else one by one.
void SaveSettings(App& app, const std::vector<std::pair<std::string, std::string>>& values);
// Where the store keeps the settings, as the user would look for them.
std::string SettingsLocation(App& app);

// Read a numeric setting into its in-memory copy. Throw (leaving the copy unchanged) when the
// stored text is missing, not a number or out of range; callers run them in continue mode.
void ReadBackColors(App& app);
void ReadMouseSens(App& app);

// How the picture meets the screen. A missing, empty or unknown word reads as the default
// (Stretch, Each), so a store written before these settings existed shows what it always did.
struct PlacementSetting {
    PicturePlacement placement = PicturePlacement::Stretch;
    Monitors monitors = Monitors::Each;
};
PlacementSetting ReadPlacement(App& app);

}  // namespace mv
