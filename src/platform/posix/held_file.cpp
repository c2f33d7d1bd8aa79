#include "platform/files/held_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/error.h"
#include "platform/posix/held_files_now.h"

namespace mv::files {

namespace {

// Fixed slots, so that a signal handler can read them without locks or allocation.
constexpr int kSlots = 4;
constexpr size_t kPathMax = 4096;
char heldPaths[kSlots][kPathMax];
volatile sig_atomic_t slotUsed[kSlots];

int remember(const std::string& path) {
    if (path.size() >= kPathMax) return -1;
    for (int i = 0; i < kSlots; ++i) {
        if (slotUsed[i]) continue;
        std::memcpy(heldPaths[i], path.c_str(), path.size() + 1);
        slotUsed[i] = 1;
        return i;
    }
    return -1;
}

}  // namespace

void removeHeldFilesNow() noexcept {
    for (int i = 0; i < kSlots; ++i)
        if (slotUsed[i]) ::unlink(heldPaths[i]);
}

bool HeldFile::tryHold(const std::string& path) {
    release();
    // The holder before us may delete the file between our open and our lock; then the name
    // is free again and we try once more.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0) return false;
        struct stat st {}, named {};
        const bool plain = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1;
        if (!plain || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        if (::lstat(path.c_str(), &named) == 0 && named.st_dev == st.st_dev && named.st_ino == st.st_ino) {
            fd_ = fd;
            path_ = path;
            slot_ = remember(path);
            return true;
        }
        ::close(fd);
    }
    return false;
}

bool HeldFile::held() const { return fd_ >= 0; }

void HeldFile::writeAt(int64_t offset, const uint8_t* data, size_t size) {
    if (fd_ < 0) throw PlatformError(ErrFileAccess, "Scratch file not held");
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw PlatformError(ErrFileAccess, "Cannot write " + path_);
        data += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
}

void HeldFile::release() noexcept {
    if (fd_ < 0) return;
    if (slot_ >= 0) slotUsed[slot_] = 0;
    slot_ = -1;
    // Deleted while still locked, so no other show can take the name in between.
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
}

bool folderIsPrivate(const std::string& dir) {
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 022) == 0;
}

bool folderIsSystems(const std::string& dir) {
    char real[PATH_MAX];
    if (!::realpath(dir.c_str(), real)) return false;
    const std::string path = real;
    if (path == "/") return true;
    static const char* const kTrees[] = {"/usr", "/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32", "/opt", "/snap"};
    for (const char* tree : kTrees) {
        const std::string t = tree;
        if (path == t || path.compare(0, t.size() + 1, t + "/") == 0) return true;
    }
    return false;
}

}  // namespace mv::files
