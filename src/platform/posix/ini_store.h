#pragma once
// The Linux settings store: one INI file per application in the user's configuration
// directory, one group per section. Every save rewrites the file through a temporary file
// and a rename, so the store on disk is always either the old or the new one; saves from
// several processes take turns on a lock file beside the store, so none undoes another's. A
// store that is a symbolic link is saved at the regular file the link leads to. A save removes
// nothing but what it made itself, and writes nothing that a read would refuse.
#include <optional>
#include <string>

#include "platform/platform.h"
#include "settings/ini_format.h"

namespace mv {

class IniStore : public SettingsStore {
public:
    // directory: where the "<application>.ini" files live; created on the first save.
    explicit IniStore(std::string directory) : directory_(std::move(directory)) {}

    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;
    // All values in one replacement of the file: a failed save leaves every one as it was.
    void SaveSettings(const std::string& app, const std::string& section, const Values& values) override;
    std::string location(const std::string& app) const override;

    std::string fileFor(const std::string& app) const;
    const std::string& directory() const { return directory_; }

private:
    // The store read last: values read one after another parse the file once, as long as its
    // bytes stay the same.
    struct Read {
        std::string path;
        ini::File file;
    };

    std::string directory_;
    std::optional<Read> read_;
};

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::string defaultConfigDirectory();

}  // namespace mv
