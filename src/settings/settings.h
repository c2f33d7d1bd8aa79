#pragma once
// The stored settings: where they live, and how each window reads them.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/picture/placement.h"
#include "settings/caption_text.h"

namespace mv {

struct App;

inline constexpr const char* kAppName = "Marvoscope 1.0 Demo";
inline constexpr const char* kSection = "Settings";
inline constexpr const char* kKeyAniFile = "AniFile";
inline constexpr const char* kKeyMouseSens = "Mousesens";
inline constexpr const char* kKeyBackColors = "BackColors";
inline constexpr const char* kKeyPlacement = "Placement";
inline constexpr const char* kKeyMonitors = "Monitors";
inline constexpr const char* kKeyInterval = "Interval";
inline constexpr const char* kKeyShuffle = "Shuffle";
inline constexpr const char* kKeyFade = "Fade";
inline constexpr const char* kKeySubfolders = "Subfolders";
inline constexpr const char* kKeyCaption = "Caption";
inline constexpr const char* kKeyClock = "Clock";
inline constexpr const char* kKeyMotion = "Motion";
inline constexpr const char* kKeyMotionRate = "MotionRate";

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

// How a folder of pictures is shown. Missing or unreadable values read as the defaults; a
// hosted run's options take their place.
struct SlideshowSetting {
    int intervalSeconds = 10;
    bool shuffle = true;
    bool fade = true;
    bool subfolders = false;
};
SlideshowSetting ReadSlideshow(App& app);

// What is written over the pictures: a caption's words (none: no caption) and a clock. Missing
// values read as none; a hosted run's options take their place.
struct CaptionSetting {
    std::vector<CaptionWord> words;
    bool clock = false;
    bool any() const { return clock || !words.empty(); }
};
CaptionSetting ReadCaption(App& app);

// Whether stills drift in a slow pan and zoom, and how many new frames a second they get at
// most (1 to 60; the monitors' own rate caps it too). Missing or unreadable values read as the
// defaults (still pictures, 60); a hosted run's options take their place.
struct MotionSetting {
    bool on = false;
    int framesPerSecond = 60;
};
MotionSetting ReadMotion(App& app);
// A frame rate as stored or given: a whole number kept within 1..60; nullopt when it is none.
std::optional<int> MotionRateFromText(const std::string& text);

}  // namespace mv
