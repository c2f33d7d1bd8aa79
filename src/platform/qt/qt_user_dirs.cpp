#include "platform/qt/qt_user_dirs.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/error.h"

namespace mv::qt {

namespace {

std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    const passwd* pw = ::getpwuid(::getuid());
    if (pw && pw->pw_dir && pw->pw_dir[0] == '/') return pw->pw_dir;
    return {};
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

// Whether our folder can be made in `base`: it exists (or can be made) and we may write there.
bool usableBase(const std::string& base) {
    if (base.empty() || base[0] != '/') return false;
    for (size_t pos = base.find('/', 1);; pos = base.find('/', pos + 1)) {
        if (::mkdir(base.substr(0, pos).c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (pos == std::string::npos) break;
    }
    struct stat st {};
    return ::stat(base.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(base.c_str(), W_OK | X_OK) == 0;
}

std::string envPath(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : "";
}

}  // namespace

std::string userScratchDirectory() {
    const std::string home = homeDirectory();
    for (const std::string& base : {envPath("XDG_RUNTIME_DIR"), envPath("XDG_CACHE_HOME"), home.empty() ? "" : home + "/.cache"}) {
        if (!usableBase(base)) continue;
        const std::string dir = base + "/marvoscope";
        makePrivateDirectory(dir);
        return dir;
    }
    // A user with no usable home or runtime folder (a service account): a folder of its own
    // in the shared temporary folder, refused like any other when someone else made it first.
    std::string tmp = envPath("TMPDIR");
    if (tmp.empty()) tmp = "/tmp";
    const std::string dir = tmp + "/marvoscope-" + std::to_string(::getuid());
    makePrivateDirectory(dir);
    return dir;
}

std::string userCacheDirectory() {
    const std::string home = homeDirectory();
    for (const std::string& base : {envPath("XDG_CACHE_HOME"), home.empty() ? "" : home + "/.cache"}) {
        if (!usableBase(base)) continue;
        const std::string dir = base + "/marvoscope";
        makePrivateDirectory(dir);
        return dir;
    }
    throw PlatformError(ErrFileAccess, "No cache folder");
}

std::string sessionKey() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) display = std::getenv("WAYLAND_DISPLAY");
    std::string key = display && *display ? display : "no-display";
    // ":0", ":0.0" and "unix:0" name the same display.
    if (const auto colon = key.rfind(':'); colon != std::string::npos) {
        if (const auto dot = key.find('.', colon); dot != std::string::npos) key.erase(dot);
        if (key.compare(0, colon, "unix") == 0) key.erase(0, colon);
    }
    for (char& c : key)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '-'))
            c = '_';
    return key;
}

}  // namespace mv::qt
