#include "platform/posix/ini_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

ReadResult readWhole(const std::string& path, std::string& out, struct stat& st) {
    // Only a regular file is opened: opening a device can have effects of its own.
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return ReadResult::Missing;
        return errno == EACCES || errno == ELOOP || errno == EOVERFLOW ? ReadResult::NotAStore : ReadResult::Failed;
    }
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxStoreBytes) return ReadResult::NotAStore;
    // Non-blocking, so that a FIFO put in the store's place since is refused instead of waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return ReadResult::Missing;
        const bool notAStore = errno == EACCES || errno == EPERM || errno == ELOOP || errno == ENXIO ||
                               errno == EISDIR || errno == EOVERFLOW;
        return notAStore ? ReadResult::NotAStore : ReadResult::Failed;
    }
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return ReadResult::Failed;
    }
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxStoreBytes) {
        ::close(fd);
        return ReadResult::NotAStore;
    }
    out.clear();
    out.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
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

// Takes an exclusive flock on `fd`; closes it when that fails.
bool lockExclusive(int fd) {
    if (fd < 0) return false;
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        ::close(fd);
        return false;
    }
    return true;
}

// Holds an exclusive flock on "<store>.lock" for one read-modify-write of the store, so that
// two processes saving at once cannot both read the old store and each write back a copy
// without the other's value. The lock file stays in place: removing it would let a third
// process lock a new file while a second still waits on the old one.
class StoreLock {
public:
    explicit StoreLock(const std::string& storePath) {
        const std::string path = storePath + ".lock";
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0600);
        // A lock file this user may only read (one made by a save as another user) locks as well.
        if (fd_ < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
            fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
        if (lockExclusive(fd_)) return;
        // One this user cannot open at all: the store's folder takes its place. Every save by
        // this user meets the same lock file, so all of them lock the folder instead.
        fd_ = ::open(folderOf(storePath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (lockExclusive(fd_)) return;
        throw PlatformError(ErrFileAccess, "Cannot lock " + storePath + "; remove " + path);
    }
    ~StoreLock() { ::close(fd_); }  // closing the last descriptor releases the lock
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    int fd_ = -1;
};

// A save writes the new store into a file of its own and names it only once it is complete,
// "<store>.new-N" with N its inode number, just before renaming it over the store. A save
// killed between the two leaves that file; a name that holds its own file's inode number is
// never the user's by chance, so a later save can tell such a file from the user's own.
std::string leftoverName(const std::string& storePath, ino_t inode) {
    return storePath + ".new-" + std::to_string(static_cast<unsigned long long>(inode));
}

// Removes the files earlier saves left as above: a regular file of this user, with no other
// name, under "<store>.new-N" where N is its own inode number. Nothing else is touched.
void removeOwnLeftovers(const std::string& storePath) {
    const std::string dir = folderOf(storePath);
    const std::string prefix = storePath.substr(storePath.rfind('/') + 1) + ".new-";
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string full = dir + "/" + name;
        struct stat st {};
        if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1 &&
            leftoverName(storePath, st.st_ino) == storePath.substr(0, storePath.rfind('/') + 1) + name)
            ::unlink(full.c_str());
    }
    ::closedir(d);
}

// Whose the new store's file is. Root saving (a setup dialog started with sudo) keeps the store
// the user's own, or makes it the settings folder's owner's: a root-owned store in the user's
// folder would be one the user's own saves could only set aside.
struct Owner {
    bool keep = false;
    uid_t uid = 0;
    gid_t gid = 0;
};

Owner ownerFor(bool storeRead, const struct stat& store, const std::string& dir) {
    if (::geteuid() != 0) return {};
    if (storeRead) return {store.st_uid != 0, store.st_uid, store.st_gid};
    struct stat folder {};
    if (::stat(dir.c_str(), &folder) != 0 || folder.st_uid == 0) return {};
    return {true, folder.st_uid, folder.st_gid};
}

// The new store's file. Where the file system has no unnamed files, it is made under the
// first free name of "<store>.new", "<store>.new.2", ..., never one that something else holds.
class TempStore {
public:
    TempStore(const std::string& storePath, mode_t mode, const Owner& owner, const std::string& text) {
        int fd = ::open(folderOf(storePath).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) {
            struct stat st {};
            if (fill(fd, mode, owner, text) && ::fstat(fd, &st) == 0) {
                const std::string name = leftoverName(storePath, st.st_ino);
                const std::string self = "/proc/self/fd/" + std::to_string(fd);
                if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                    name_ = name;
                    closed_ = ::close(fd) == 0;
                    return;
                }
            }
            ::close(fd);
        }
        for (int n = 1; n <= 100 && name_.empty(); ++n) {
            std::string name = storePath + ".new";
            if (n > 1) name.append(".").append(std::to_string(n));
            fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
            if (fd >= 0) {
                name_ = name;
                const bool filled = fill(fd, mode, owner, text);
                closed_ = ::close(fd) == 0 && filled;
            } else if (errno != EEXIST) {
                break;
            }
        }
    }
    // Renames the complete file over the store, or removes it again.
    bool replace(const std::string& storePath) {
        if (name_.empty()) return false;
        if (closed_ && ::rename(name_.c_str(), storePath.c_str()) == 0) return true;
        ::unlink(name_.c_str());
        return false;
    }

private:
    static bool fill(int fd, mode_t mode, const Owner& owner, const std::string& text) {
        // A store that others may read (set so by the user) stays readable to them.
        if (owner.keep && ::fchown(fd, owner.uid, owner.gid) != 0) return false;
        return ::fchmod(fd, mode) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
    }

    std::string name_;
    bool closed_ = false;
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
    const std::string path = fileFor(app);
    std::string text;
    struct stat st {};
    if (readWhole(path, text, st) != ReadResult::Ok) {
        read_.reset();
        return {};
    }
    if (!read_ || read_->path != path || read_->file.text() != text) {
        read_.reset();
        read_.emplace(Read{path, ini::File(std::move(text))});
    }
    return read_->file.value(section, key).value_or("");
}

void IniStore::SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& value) {
    SaveSettings(app, section, {{key, value}});
}

void IniStore::SaveSettings(const std::string& app, const std::string& section, const Values& values) {
    read_.reset();
    // Nothing is made or changed before the values are known to fit in a store.
    for (const auto& [key, value] : values)
        if (key.size() > kMaxStoreBytes || value.size() > kMaxStoreBytes || section.size() > kMaxStoreBytes)
            throw PlatformError(ErrFileAccess, "Too long to save: " + key);
    makeDirectories(directory_);
    // A store kept elsewhere behind a link (as dot-file managers do) is saved where it lives,
    // and the link stays. What the link leads to must read as a store, known before a lock file
    // is made beside it: nothing else out there is ours to replace or move aside.
    const std::string link = fileFor(app);
    struct stat st {};
    const bool linked = ::lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    const std::string path = finalTarget(link);
    std::string text;
    if (linked && readWhole(path, text, st) != ReadResult::Ok)
        throw PlatformError(ErrFileAccess, "Cannot save to " + path + ": not a settings file");
    const std::string dir = folderOf(path);
    const StoreLock lock(path);
    // A store that can never be read as one is kept aside whole, and this save starts a fresh
    // one: the values are saved and nothing is lost. A read that may only have broken off this
    // time fails the save instead, leaving the store as it is, and so does one behind a link:
    // the file there is not set aside outside the settings folder.
    const ReadResult read = readWhole(path, text, st);
    if (read == ReadResult::Failed || (linked && read != ReadResult::Ok))
        throw PlatformError(ErrFileAccess, "Cannot read " + path);
    const mode_t mode = read == ReadResult::Ok ? (st.st_mode & 0777) : 0600;
    ini::File file(read == ReadResult::Ok ? std::move(text) : std::string());
    for (const auto& [key, value] : values) file.set(section, key, value);
    // Every later read would refuse a larger store and find no value at all.
    if (file.text().size() > static_cast<size_t>(kMaxStoreBytes))
        throw PlatformError(ErrFileAccess, "Cannot write " + path + ": it would grow past the largest store read");

    if (read == ReadResult::NotAStore) keepAside(path);
    removeOwnLeftovers(path);
    TempStore temp(path, mode, ownerFor(read == ReadResult::Ok, st, dir), file.text());
    if (!temp.replace(path)) throw PlatformError(ErrFileAccess, "Cannot write " + path);
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
