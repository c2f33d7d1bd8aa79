#include "settings.h"

#include "../startup/app.h"

namespace mv {

std::string GetSetting(App& app, const std::string& key) { return app.platform.settings().GetSetting(kAppName, kSection, key); }
void SaveSetting(App& app, const std::string& key, const std::string& value) {
    app.platform.settings().SaveSetting(kAppName, kSection, key, value);
}
void ReadBackColors(App&) {}
void ReadMouseSens(App&) {}

}  // namespace mv
