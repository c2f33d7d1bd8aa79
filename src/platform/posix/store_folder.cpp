#include "platform/posix/store_folder.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <deque>
#include <vector>

#include "platform/error.h"

namespace mv {

namespace {

// Links followed on one way through, as the kernel allows.
constexpr int kMaxLinks = 40;

// The raw calls change this thread alone; the C library's wrappers of setgroups would change
// every thread of the process.
long setFsUid(uid_t uid) { return ::syscall(SYS_setfsuid, uid); }
long setFsGid(gid_t gid) { return ::syscall(SYS_setfsgid, gid); }
long setThreadGroups(const std::vector<gid_t>& groups) {
    return ::syscall(SYS_setgroups, groups.size(), groups.empty() ? nullptr : groups.data());
}

std::deque<std::string> namesOf(const std::string& path) {
    std::deque<std::string> names;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string name = path.substr(start, end - start);
        if (!name.empty() && name != ".") names.push_back(std::move(name));
        start = end + 1;
    }
    return names;
}

[[noreturn]] void fail(const std::string& what, const std::string& name) {
    throw PlatformError(ErrFileAccess, what + " " + name);
}

int openStart(bool absolute) {
    const int fd = ::open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) fail("Cannot open", absolute ? "/" : ".");
    return fd;
}

std::string readLink(int folder, const std::string& name, off_t size) {
    std::string target(static_cast<size_t>(size > 0 ? size : 4096) + 1, '\0');
    const ssize_t n = ::readlinkat(folder, name.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) fail("Cannot read the link", name);
    target.resize(static_cast<size_t>(n));
    return target;
}

// Walks `names` from the open folder `fd` (which it takes over) and returns the folder they
// end at. Each folder is opened without following a link, and looked at through its own
// descriptor, so that what was checked is what is used, whatever is renamed meanwhile.
int walk(int fd, std::deque<std::string> names, bool create, FsIdentity& who, int& links) {
    while (!names.empty()) {
        const std::string name = names.front();
        struct stat st {};
        if (name != ".." && ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
            who.passing(st.st_uid, st.st_gid);
            if (++links > kMaxLinks) { ::close(fd); fail("Too many links at", name); }
            std::string target;
            try {
                target = readLink(fd, name, st.st_size);
            } catch (...) {
                ::close(fd);
                throw;
            }
            names.pop_front();
            auto inner = namesOf(target);
            names.insert(names.begin(), inner.begin(), inner.end());
            if (target[0] == '/') {
                ::close(fd);
                fd = openStart(true);
            }
            continue;
        }
        if (create && name != ".." && ::mkdirat(fd, name.c_str(), 0700) != 0 && errno != EEXIST) {
            ::close(fd);
            fail("Cannot create", name);
        }
        const int next = ::openat(fd, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            // Made a link since it was looked at: look again, as one more link.
            if ((errno == ENOTDIR || errno == ELOOP) && ++links <= kMaxLinks) continue;
            ::close(fd);
            fail("Cannot open the folder", name);
        }
        ::close(fd);
        fd = next;
        if (::fstat(fd, &st) != 0) { ::close(fd); fail("Cannot open the folder", name); }
        who.passing(st.st_uid, st.st_gid);
        names.pop_front();
    }
    return fd;
}

}  // namespace

FsIdentity::~FsIdentity() {
    if (!switched_) return;
    // Root's own user first: it brings back the rights needed to set the rest.
    setFsUid(0);
    setFsGid(::getegid());
    std::vector<gid_t> groups(static_cast<size_t>(std::max(::getgroups(0, nullptr), 0)));
    if (!groups.empty()) groups.resize(static_cast<size_t>(std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    setThreadGroups(groups);
}

void FsIdentity::become(uid_t uid, gid_t gid) {
    if (switched_ || ::geteuid() != 0 || uid == 0) return;
    // Without supplementary groups: root's own (group 0) would still open root's files.
    if (setThreadGroups({}) != 0) fail("Cannot act as the owner of", "the settings folder");
    switched_ = true;
    uid_ = uid;
    setFsGid(gid);
    setFsUid(uid);
    // The calls report the old value, not success: ask again.
    if (setFsUid(static_cast<uid_t>(-1)) != static_cast<long>(uid) || setFsGid(static_cast<gid_t>(-1)) != static_cast<long>(gid))
        fail("Cannot act as the owner of", "the settings folder");
}

void FsIdentity::passing(uid_t owner, gid_t group) {
    if (!switched_ && owner != 0 && ::geteuid() == 0) become(owner, group);
}

uid_t FsIdentity::user() const { return switched_ ? uid_ : ::geteuid(); }

FolderEntry openEntry(const std::string& path, bool createFolders, FsIdentity& who) {
    auto names = namesOf(path);
    if (names.empty() || names.back() == ".." || path.back() == '/') fail("Not a file name:", path);
    FolderEntry entry;
    entry.name = names.back();
    names.pop_back();
    int links = 0;
    entry.folder = walk(openStart(path[0] == '/'), std::move(names), createFolders, who, links);
    return entry;
}

FolderEntry followLinks(FolderEntry entry, FsIdentity& who) {
    for (int links = 0;;) {
        struct stat st {};
        if (::fstatat(entry.folder, entry.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(st.st_mode))
            return entry;
        who.passing(st.st_uid, st.st_gid);
        std::string target;
        try {
            if (++links > kMaxLinks) fail("Too many links at", entry.name);
            target = readLink(entry.folder, entry.name, st.st_size);
        } catch (...) {
            ::close(entry.folder);
            throw;
        }
        auto names = namesOf(target);
        if (names.empty() || names.back() == ".." || target.back() == '/') {
            ::close(entry.folder);
            fail("Cannot write", target);
        }
        entry.name = names.back();
        names.pop_back();
        int start = entry.folder;
        if (target[0] == '/') {
            ::close(start);
            start = openStart(true);
        }
        entry.folder = walk(start, std::move(names), false, who, links);
    }
}

std::string pathOf(const FolderEntry& entry) {
    const std::string self = "/proc/self/fd/" + std::to_string(entry.folder);
    std::string folder(4096, '\0');
    const ssize_t n = ::readlink(self.c_str(), folder.data(), folder.size());
    if (n <= 0 || static_cast<size_t>(n) >= folder.size()) return entry.name;
    folder.resize(static_cast<size_t>(n));
    return (folder == "/" ? "" : folder) + "/" + entry.name;
}

int openForReading(int folder) { return ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); }

}  // namespace mv
