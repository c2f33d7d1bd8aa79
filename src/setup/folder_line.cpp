#include "setup/folder_line.h"

#include "platform/files/files.h"
#include "settings/number_text.h"

namespace mv {

namespace {

// About one line beside the button; a longer name would wrap to a third line, or break
// inside a word, and be cut off by the label's edge.
constexpr size_t kNameChars = 14;

// The last part of a path, without the separators that end it; characters, not bytes, are
// counted, so a cut never splits one.
std::string shortName(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && (p.back() == '/' || p.back() == '\\')) p.pop_back();
    const size_t slash = p.find_last_of("/\\");
    const std::string name = slash == std::string::npos || p.size() == 1 ? p : p.substr(slash + 1);
    size_t chars = 0, cut = name.size();
    for (size_t i = 0; i < name.size(); ++i) {
        if ((static_cast<unsigned char>(name[i]) & 0xC0) == 0x80) continue;
        if (++chars == kNameChars - 2) cut = i;  // room for the "..." if the name is longer
        if (chars > kNameChars) {
            std::string kept = name.substr(0, cut);
            while (!kept.empty() && kept.back() == ' ') kept.pop_back();
            return kept + "...";
        }
    }
    return name;
}

}  // namespace

std::string FolderLine(const std::string& fileBoxText) {
    const std::string path = TrimBlanks(fileBoxText);
    if (path.empty()) return kNothingChosenLine;
    if (files::isFolder(path)) return "Plays the folder " + shortName(path);
    if (files::exists(path)) return kSinglePictureLine;
    return "Not found: " + shortName(path);
}

}  // namespace mv
