#include "platform/posix/ini_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/error.h"

namespace mv {

namespace {

// A store larger than this is not ours: reading it would only waste memory.
constexpr long long kMaxStoreBytes = 16 * 1024 * 1024;

// NotAStore: what is there can never be read as a store (too large, not a regular file, no
// permission). Failed: the read broke off for a reason that may pass (no descriptors left, an
// I/O error), so the store itself may be fine and must not be set aside.
enum class ReadResult { Ok, Missing, NotAStore, Failed };

ReadResult readWhole(const std::string& path, std::string& out) {
    // Non-blocking, so that a FIFO in the store's place is refused instead of waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return ReadResult::Missing;
        const bool notAStore = errno == EACCES || errno == EPERM || errno == ELOOP || errno == ENXIO ||
                               errno == EISDIR || errno == EOVERFLOW;
        return notAStore ? ReadResult::NotAStore : ReadResult::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return ReadResult::Failed;
    }
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxStoreBytes) {
        ::close(fd);
        return ReadResult::NotAStore;
    }
    out.clear();
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) { ::close(fd); return ReadResult::Failed; }
        if (n == 0) break;
        out.append(buf, static_cast<size_t>(n));
        if (static_cast<off_t>(out.size()) > kMaxStoreBytes) { ::close(fd); return ReadResult::NotAStore; }
    }
    ::close(fd);
    return ReadResult::Ok;
}

void makeDirectories(const std::string& dir) {
    std::string partial;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        partial = dir.substr(0, pos);
        if (partial.empty()) continue;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            throw PlatformError(ErrFileAccess, "Cannot create " + partial);
    }
}

bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of symbolic links ends at; the path itself when it is no link. A link that
// leads nowhere, or round in a circle, fails the save as an unwritable store does.
std::string finalTarget(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT && hops == 0) return path;
            throw PlatformError(ErrFileAccess, "Cannot write " + path);
        }
        if (!S_ISLNK(st.st_mode)) return path;
        std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<size_t>(n) >= target.size()) throw PlatformError(ErrFileAccess, "Cannot read the link " + path);
        target.resize(static_cast<size_t>(n));
        path = target[0] == '/' ? target : folderOf(path) + "/" + target;
    }
    throw PlatformError(ErrFileAccess, "Too many links at " + path);
}

constexpr const char* kTempSuffix = ".new";

// Earlier saves wrote "<store>.XXXXXX" files; one that was interrupted left its file behind.
// Under the store's lock no save is writing one, so every such file is stale.
void removeStaleTemps(const std::string& path) {
    const std::string dir = folderOf(path);
    const std::string base = path.substr(path.rfind('/') + 1) + ".";
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() != base.size() + 6 || name.compare(0, base.size(), base) != 0) continue;
        bool random = true;
        for (size_t i = base.size(); i < name.size(); ++i)
            random = random && std::isalnum(static_cast<unsigned char>(name[i]));
        struct stat st {};
        const std::string full = dir + "/" + name;
        if (random && ::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(full.c_str());
    }
    ::closedir(d);
}

// Holds an exclusive flock on "<store>.lock" for one read-modify-write of the store, so that
// two processes saving at once cannot both read the old store and each write back a copy
// without the other's value. The lock file stays in place: removing it would let a third
// process lock a new file while a second still waits on the old one.
class StoreLock {
public:
    explicit StoreLock(const std::string& storePath) {
        const std::string path = storePath + ".lock";
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd_ < 0) throw PlatformError(ErrFileAccess, "Cannot lock " + storePath);
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            ::close(fd_);
            throw PlatformError(ErrFileAccess, "Cannot lock " + storePath);
        }
    }
    ~StoreLock() { ::close(fd_); }  // closing the last descriptor releases the lock
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    int fd_ = -1;
};

// Moves a store that cannot be read as one out of the way, to "<store>.bak" or, when that
// name is taken by an earlier one, the first free "<store>.bak.N": an earlier kept file may
// hold the only copy of settings worth recovering by hand, so none is ever replaced.
void keepAside(const std::string& path) {
    for (int n = 1; n <= 1000; ++n) {
        std::string target = path + ".bak";
        if (n > 1) target.append(".").append(std::to_string(n));
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0) continue;
        if (errno != ENOENT) break;
        // Under the store's lock no other save chooses a name at the same time.
        if (::rename(path.c_str(), target.c_str()) == 0) return;
        break;
    }
    throw PlatformError(ErrFileAccess, "Cannot read " + path);
}

}  // namespace

std::string IniStore::fileFor(const std::string& app) const {
    std::string name;
    for (char c : app) name.push_back(c == '/' || c == '\0' ? '_' : c);
    if (name.empty() || name == "." || name == "..") name = "_" + name;
    return directory_ + "/" + name + ".ini";
}

// As the user would write it: the home folder as "~".
std::string IniStore::location(const std::string& app) const {
    const std::string path = fileFor(app);
    const char* home = std::getenv("HOME");
    const size_t n = home ? std::strlen(home) : 0;
    if (n > 1 && home[0] == '/' && path.compare(0, n, home) == 0 && path.size() > n && path[n] == '/')
        return std::string(1, '~').append(path, n);
    return path;
}

// Reading takes no lock: a save never changes the store in place but renames a complete new
// file over it, so a reader sees either the old store or the new one, never a mixture. A
// shared lock would also need the lock file, which a read-only configuration cannot create.
std::string IniStore::GetSetting(const std::string& app, const std::string& section, const std::string& key) {
    std::string text;
    if (readWhole(fileFor(app), text) != ReadResult::Ok) return {};
    return ini::File(text).value(section, key).value_or("");
}

void IniStore::SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& value) {
    SaveSettings(app, section, {{key, value}});
}

void IniStore::SaveSettings(const std::string& app, const std::string& section, const Values& values) {
    makeDirectories(directory_);
    // A store kept elsewhere behind a link (as dot-file managers do) is saved where it lives,
    // and the link stays.
    const std::string path = finalTarget(fileFor(app));
    const std::string dir = folderOf(path);
    const StoreLock lock(path);
    removeStaleTemps(path);
    std::string text;
    // A store that can never be read as one is kept aside whole, and this save starts a fresh
    // one: the values are saved and nothing is lost. A read that may only have broken off this
    // time fails the save instead, leaving the store as it is.
    const ReadResult read = readWhole(path, text);
    if (read == ReadResult::Failed) throw PlatformError(ErrFileAccess, "Cannot read " + path);
    struct stat old {};
    const bool hadStore = read == ReadResult::Ok && ::stat(path.c_str(), &old) == 0;
    if (read == ReadResult::NotAStore) {
        keepAside(path);
        text.clear();
    }
    ini::File file(text);
    for (const auto& [key, value] : values) file.set(section, key, value);

    // One fixed name, written only under the lock: an interrupted save leaves at most this one
    // file, which the next save replaces.
    const std::string temp = path + kTempSuffix;
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) throw PlatformError(ErrFileAccess, "Cannot write " + path);
    // A store that others may read (set so by the user) stays readable to them.
    if (hadStore) ::fchmod(fd, old.st_mode & 0777);
    const bool written = writeAll(fd, file.text()) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw PlatformError(ErrFileAccess, "Cannot write " + path);
    }
    // Make the rename itself survive a crash of the machine.
    if (const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

std::string defaultConfigDirectory() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw && pw->pw_dir ? pw->pw_dir : "/tmp";
    }
    return std::string(home) + "/.config";
}

}  // namespace mv
