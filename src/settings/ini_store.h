#pragma once
// The Linux settings store: one INI file per application in the user's configuration
// directory, one group per section. Every save rewrites the file through a temporary file
// and a rename, so the store on disk is always either the old or the new one; saves from
// several processes take turns on a lock file beside the store, so none undoes another's.
#include <string>
#include <utility>
#include <vector>

#include "../platform/settings_store.h"

namespace mv {

class IniStore : public SettingsStore {
public:
    // directory: where the "<application>.ini" files live; created on the first save.
    explicit IniStore(std::string directory) : directory_(std::move(directory)) {}

    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key) override;
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override;

    std::string fileFor(const std::string& app) const;
    const std::string& directory() const { return directory_; }

private:
    std::string directory_;
};

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::string defaultConfigDirectory();

namespace ini {

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};
using Document = std::vector<Section>;

// Escapes what an INI line cannot hold (line breaks, control bytes, '\\', '=' and brackets in
// names, blanks at the ends of values) so that every text reads back unchanged.
std::string escape(const std::string& text, bool isName);
std::string unescape(const std::string& text);
// Reads what it can; lines it cannot make sense of are skipped.
Document parse(const std::string& text);
std::string format(const Document& doc);

}  // namespace ini

}  // namespace mv
