#include "settings/settings.h"

#include "settings/number_text.h"
#include "settings/placement_text.h"
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

}  // namespace mv
