#include "settings/settings.h"

#include "settings/number_text.h"
#include "startup/app.h"

namespace mv {

std::string GetSetting(App& app, const std::string& key) { return app.platform.settings().GetSetting(kAppName, kSection, key); }

void SaveSetting(App& app, const std::string& key, const std::string& value) {
    app.platform.settings().SaveSetting(kAppName, kSection, key, value);
}

void ReadBackColors(App& app) { app.bgColor = ParseInt32(GetSetting(app, kKeyBackColors)); }

void ReadMouseSens(App& app) { app.mouseSens = ParseInt16(GetSetting(app, kKeyMouseSens)); }

}  // namespace mv
