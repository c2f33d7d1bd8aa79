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
#include "platform/posix/store_folder.h"

namespace mv {

namespace {

// A store larger than this is not ours: reading it would only waste memory.
constexpr long long kMaxStoreBytes = 16 * 1024 * 1024;

// NotAStore: what is there can never be read as a store (too large, not a regular file, no
// permission). Failed: the read broke off for a reason that may pass (no descriptors left, an
// I/O error), so the store itself may be fine and must not be set aside.
enum class ReadResult { Ok, Missing, NotAStore, Failed };

ReadResult readWhole(const FolderEntry& at, std::string& out, struct stat& st) {
    // Only a regular file is opened: opening a device can have effects of its own.
    if (::fstatat(at.folder, at.name.c_str(), &st, 0) != 0) {
        if (errno == ENOENT) return ReadResult::Missing;
        return errno == EACCES || errno == ELOOP || errno == EOVERFLOW ? ReadResult::NotAStore : ReadResult::Failed;
    }
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxStoreBytes) return ReadResult::NotAStore;
    // Non-blocking, so that a FIFO put in the store's place since is refused instead of waited on.
    const int fd = ::openat(at.folder, at.name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
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

// An open folder and entry, closed at the end of a read or save.
class Entry {
public:
    explicit Entry(FolderEntry e) : e_(std::move(e)) {}
    ~Entry() { ::close(e_.folder); }
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;
    const FolderEntry& operator*() const { return e_; }
    const FolderEntry* operator->() const { return &e_; }
    // Another name in the same folder.
    FolderEntry beside(const std::string& suffix) const { return {e_.folder, e_.name + suffix}; }

private:
    FolderEntry e_;
};

// Holds an exclusive flock on "<store>.lock" for one read-modify-write of the store, so that
// two processes saving at once cannot both read the old store and each write back a copy
// without the other's value. The lock file stays in place: removing it would let a third
// process lock a new file while a second still waits on the old one.
class StoreLock {
public:
    explicit StoreLock(const FolderEntry& store) {
        const std::string name = store.name + ".lock";
        fd_ = ::openat(store.folder, name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0600);
        // A lock file this user may only read (one made by a save as another user) locks as well.
        if (fd_ < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
            fd_ = ::openat(store.folder, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
        if (lockExclusive(fd_)) return;
        // One this user cannot open at all: the store's folder takes its place. Every save by
        // this user meets the same lock file, so all of them lock the folder instead.
        fd_ = openForReading(store.folder);
        if (lockExclusive(fd_)) return;
        const std::string shown = pathOf(store);
        throw PlatformError(ErrFileAccess, "Cannot lock " + shown + "; remove " + shown + ".lock");
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
std::string leftoverName(const std::string& storeName, ino_t inode) {
    return storeName + ".new-" + std::to_string(static_cast<unsigned long long>(inode));
}

// Removes the files earlier saves left as above: a regular file of this user, with no other
// name, under "<store>.new-N" where N is its own inode number. Nothing else is touched.
void removeOwnLeftovers(const FolderEntry& store, uid_t user) {
    const std::string prefix = store.name + ".new-";
    const int fd = openForReading(store.folder);
    DIR* d = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!d) {
        if (fd >= 0) ::close(fd);
        return;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        struct stat st {};
        if (::fstatat(store.folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == user && st.st_nlink == 1 && leftoverName(store.name, st.st_ino) == name)
            ::unlinkat(store.folder, name.c_str(), 0);
    }
    ::closedir(d);
}

// The new store's file. Where the file system has no unnamed files, it is made under the
// first free name of "<store>.new", "<store>.new.2", ..., never one that something else holds.
class TempStore {
public:
    TempStore(const FolderEntry& store, mode_t mode, const std::string& text) : folder_(store.folder) {
        int fd = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) {
            struct stat st {};
            if (fill(fd, mode, text) && ::fstat(fd, &st) == 0) {
                const std::string name = leftoverName(store.name, st.st_ino);
                const std::string self = "/proc/self/fd/" + std::to_string(fd);
                if (::linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                    name_ = name;
                    closed_ = ::close(fd) == 0;
                    return;
                }
            }
            ::close(fd);
        }
        for (int n = 1; n <= 100 && name_.empty(); ++n) {
            std::string name = store.name + ".new";
            if (n > 1) name.append(".").append(std::to_string(n));
            fd = ::openat(folder_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0600);
            if (fd >= 0) {
                name_ = name;
                const bool filled = fill(fd, mode, text);
                closed_ = ::close(fd) == 0 && filled;
            } else if (errno != EEXIST) {
                break;
            }
        }
    }
    // Renames the complete file over the store, or removes it again.
    bool replace(const std::string& storeName) {
        if (name_.empty()) return false;
        if (closed_ && ::renameat(folder_, name_.c_str(), folder_, storeName.c_str()) == 0) return true;
        ::unlinkat(folder_, name_.c_str(), 0);
        return false;
    }

private:
    static bool fill(int fd, mode_t mode, const std::string& text) {
        // A store that others may read (set so by the user) stays readable to them.
        return ::fchmod(fd, mode) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
    }

    int folder_;
    std::string name_;
    bool closed_ = false;
};

// Moves a store that cannot be read as one out of the way, to "<store>.bak" or, when that
// name is taken by an earlier one, the first free "<store>.bak.N": an earlier kept file may
// hold the only copy of settings worth recovering by hand, so none is ever replaced.
void keepAside(const FolderEntry& store) {
    for (int n = 1; n <= 1000; ++n) {
        std::string target = store.name + ".bak";
        if (n > 1) target.append(".").append(std::to_string(n));
        struct stat st {};
        if (::fstatat(store.folder, target.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) continue;
        if (errno != ENOENT) break;
        // Under the store's lock no other save chooses a name at the same time.
        if (::renameat(store.folder, store.name.c_str(), store.folder, target.c_str()) == 0) return;
        break;
    }
    throw PlatformError(ErrFileAccess, "Cannot read " + pathOf(store));
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
    ReadResult read = ReadResult::Missing;
    try {
        FsIdentity who;
        const Entry store(followLinks(openEntry(path, false, who), who));
        read = readWhole(*store, text, st);
    } catch (const PlatformError&) {
        // A folder that cannot be opened holds no values.
    }
    if (read != ReadResult::Ok) {
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
    // Root saving into a user's folder (a setup dialog started with sudo -E) saves with that
    // user's rights, so the kernel refuses whatever the user could not write; and every step
    // goes through the one folder opened and checked, never through its path again.
    FsIdentity who;
    const Entry link(openEntry(fileFor(app), true, who));
    // A store kept elsewhere behind a link (as dot-file managers do) is saved where it lives,
    // and the link stays. What the link leads to must read as a store, known before a lock file
    // is made beside it: nothing else out there is ours to replace or move aside.
    struct stat st {};
    const bool linked = ::fstatat(link->folder, link->name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
    const Entry store(linked ? followLinks({::fcntl(link->folder, F_DUPFD_CLOEXEC, 0), link->name}, who)
                             : FolderEntry{::fcntl(link->folder, F_DUPFD_CLOEXEC, 0), link->name});
    if (store->folder < 0) throw PlatformError(ErrFileAccess, "Cannot open the folder of " + fileFor(app));
    std::string text;
    if (linked && readWhole(*store, text, st) != ReadResult::Ok)
        throw PlatformError(ErrFileAccess, "Cannot save to " + pathOf(*store) + ": not a settings file");
    const StoreLock lock(*store);
    // A store that can never be read as one is kept aside whole, and this save starts a fresh
    // one: the values are saved and nothing is lost. A read that may only have broken off this
    // time fails the save instead, leaving the store as it is, and so does one behind a link:
    // the file there is not set aside outside the settings folder.
    const ReadResult read = readWhole(*store, text, st);
    if (read == ReadResult::Failed || (linked && read != ReadResult::Ok))
        throw PlatformError(ErrFileAccess, "Cannot read " + pathOf(*store));
    const mode_t mode = read == ReadResult::Ok ? (st.st_mode & 0777) : 0600;
    ini::File file(read == ReadResult::Ok ? std::move(text) : std::string());
    for (const auto& [key, value] : values) file.set(section, key, value);
    // Every later read would refuse a larger store and find no value at all.
    if (file.text().size() > static_cast<size_t>(kMaxStoreBytes))
        throw PlatformError(ErrFileAccess, "Cannot write " + pathOf(*store) + ": it would grow past the largest store read");

    if (read == ReadResult::NotAStore) keepAside(*store);
    removeOwnLeftovers(*store, who.user());
    TempStore temp(*store, mode, file.text());
    if (!temp.replace(store->name)) throw PlatformError(ErrFileAccess, "Cannot write " + pathOf(*store));
    // Make the rename itself survive a crash of the machine.
    if (const int dirFd = openForReading(store->folder); dirFd >= 0) {
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
