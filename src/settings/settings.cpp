#include "settings/settings.h"

#include <algorithm>

#include "platform/modes.h"
#include "settings/number_text.h"
#include "settings/placement_text.h"
#include "settings/slideshow_text.h"
#include "startup/app.h"

namespace mv {

std::string GetSetting(App& app, const std::string& key) { return app.platform.settings().GetSetting(kAppName, kSection, key); }

void SaveSetting(App& app, const std::string& key, const std::string& value) {
    app.platform.settings().SaveSetting(kAppName, kSection, key, value);
}

void SaveSettings(App& app, const std::vector<std::pair<std::string, std::string>>& values) {
    app.platform.settings().SaveSettings(kAppName, kSection, values);
}

std::string SettingsLocation(App& app) { return app.platform.settings().location(kAppName); }

void ReadBackColors(App& app) { app.bgColor = ParseInt32(GetSetting(app, kKeyBackColors)); }

void ReadMouseSens(App& app) { app.mouseSens = ParseInt16(GetSetting(app, kKeyMouseSens)); }

PlacementSetting ReadPlacement(App& app) {
    PlacementSetting s;
    s.placement = PlacementFromText(GetSetting(app, kKeyPlacement)).value_or(s.placement);
    s.monitors = MonitorsFromText(GetSetting(app, kKeyMonitors)).value_or(s.monitors);
    return s;
}

SlideshowSetting ReadSlideshow(App& app) {
    SlideshowSetting s;
    s.intervalSeconds = app.hostedInterval.value_or(IntervalFromText(GetSetting(app, kKeyInterval)));
    s.shuffle = app.hostedShuffle.value_or(SwitchFromText(GetSetting(app, kKeyShuffle), s.shuffle));
    s.fade = app.hostedFade.value_or(SwitchFromText(GetSetting(app, kKeyFade), s.fade));
    s.subfolders = SwitchFromText(GetSetting(app, kKeySubfolders), s.subfolders);
    return s;
}

CaptionSetting ReadCaption(App& app) {
    CaptionSetting s;
    s.words = app.hostedCaption.value_or(CaptionWordsFromText(GetSetting(app, kKeyCaption)));
    s.clock = app.hostedClock.value_or(SwitchFromText(GetSetting(app, kKeyClock), s.clock));
    return s;
}

MotionSetting ReadMotion(App& app) {
    MotionSetting s;
    s.on = app.hostedMotion.value_or(SwitchFromText(GetSetting(app, kKeyMotion), s.on));
    s.framesPerSecond = app.hostedMotionRate.value_or(MotionRateFromText(GetSetting(app, kKeyMotionRate)).value_or(s.framesPerSecond));
    return s;
}

std::optional<int> MotionRateFromText(const std::string& text) {
    int32_t n = 0;
    if (!continueStep([&] { n = ParseInt32(text); })) return std::nullopt;
    return std::clamp<int32_t>(n, 1, 60);
}

}  // namespace mv
