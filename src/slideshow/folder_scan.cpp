#include "slideshow/folder_scan.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "platform/files/file_io.h"
#include "platform/picture/load_picture.h"
#include "platform/picture/picture_kind.h"

namespace mv::slides {

namespace fs = std::filesystem;

namespace {

fs::path pathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string textOf(const fs::path& p) {
    const std::u8string text = p.u8string();
    return std::string(text.begin(), text.end());
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A file named otherwise (a camera's or a download's name without its ending) that says in its
// first bytes that it is a picture.
bool startsAsPicture(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    char magic[kPictureKindBytes];
    in.read(magic, sizeof magic);
    return LooksLikePicture(reinterpret_cast<const uint8_t*>(magic), static_cast<size_t>(in.gcount()));
}

bool hidden(const fs::path& p) {
    const std::string name = textOf(p.filename());
    return (!name.empty() && name[0] == '.') || files::markedHidden(textOf(p));
}

struct Scan {
    const ScanOptions& options;
    const std::function<void(const std::string&)>& found;
    const std::atomic<bool>* stop;
    ScanResult result;
    std::set<fs::path> entered;

    bool stopping() {
        if (stop && stop->load(std::memory_order_relaxed)) result.stopped = true;
        return result.stopped;
    }

    void folder(const fs::path& dir) {
        std::error_code ec;
        // The folder as reached through every link: a loop comes back to a path already entered.
        const fs::path real = fs::canonical(dir, ec);
        if (ec || !entered.insert(real).second) return;
        fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
        std::vector<fs::path> subfolders;
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            if (stopping() || result.truncated) return;
            const fs::path& p = it->path();
            if (hidden(p)) continue;
            std::error_code sec;
            const fs::file_status st = fs::status(p, sec);  // follows links
            if (sec) continue;
            if (fs::is_directory(st)) {
                if (options.subfolders) subfolders.push_back(p);
                continue;
            }
            if (!fs::is_regular_file(st)) continue;
            if (!NamesPicture(textOf(p.filename()), options.moreSuffixes) && !startsAsPicture(p)) continue;
            if (result.pictures.size() >= options.limit) {
                result.truncated = true;
                return;
            }
            result.pictures.push_back(textOf(p));
            if (found) found(result.pictures.back());
        }
        for (const fs::path& sub : subfolders) {
            if (stopping() || result.truncated) return;
            folder(sub);
        }
    }
};

}  // namespace

bool NamesPicture(const std::string& name, const std::vector<std::string>& moreSuffixes) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return false;
    const std::string suffix = lowered(name.substr(dot + 1));
    static const char* const kRead[] = {"bmp", "jpg", "jpeg", "gif", "png", "apng", "webp", "heic",
                                        "heif", "avif", "jxl", "tif", "tiff"};
    for (const char* s : kRead)
        if (suffix == s) return true;
    return std::find(moreSuffixes.begin(), moreSuffixes.end(), suffix) != moreSuffixes.end();
}

bool IsFolder(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return fs::is_directory(pathOf(path), ec);
}

ScanResult ScanFolder(const std::string& folder, const ScanOptions& options,
                      const std::function<void(const std::string&)>& found, const std::atomic<bool>* stop) {
    Scan scan{options, found, stop, {}, {}};
    scan.folder(pathOf(folder));
    return std::move(scan.result);
}

}  // namespace mv::slides
