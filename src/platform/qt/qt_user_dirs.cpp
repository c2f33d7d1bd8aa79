#include "platform/qt/qt_user_dirs.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/error.h"

namespace mv::qt {

namespace {

std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    const passwd* pw = ::getpwuid(::getuid());
    if (pw && pw->pw_dir && pw->pw_dir[0] == '/') return pw->pw_dir;
    throw PlatformError(ErrFileAccess, "No home directory");
}

void makePrivateDirectory(const std::string& dir) {
    for (size_t pos = dir.find('/', 1);; pos = dir.find('/', pos + 1)) {
        const std::string partial = dir.substr(0, pos);
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            throw PlatformError(ErrFileAccess, "Cannot create " + partial);
        if (pos == std::string::npos) break;
    }
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 077) != 0)
        throw PlatformError(ErrFileAccess, "Unsafe scratch directory " + dir);
}

}  // namespace

std::string userScratchDirectory() {
    std::string base;
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && run[0] == '/') {
        base = run;
    } else if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && cache[0] == '/') {
        base = cache;
    } else {
        base = homeDirectory() + "/.cache";
    }
    const std::string dir = base + "/marvoscope";
    makePrivateDirectory(dir);
    return dir;
}

std::string sessionKey() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) display = std::getenv("WAYLAND_DISPLAY");
    std::string key = display && *display ? display : "no-display";
    // ":0" and ":0.0" name the same display.
    if (const auto colon = key.rfind(':'); colon != std::string::npos) {
        if (const auto dot = key.find('.', colon); dot != std::string::npos) key.erase(dot);
    }
    for (char& c : key)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '-'))
            c = '_';
    return key;
}

}  // namespace mv::qt
