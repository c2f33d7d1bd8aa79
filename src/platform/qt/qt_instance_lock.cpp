#include "platform/qt/qt_instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace mv::qt {

namespace {

int openLockFile(const std::string& path) { return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600); }

bool lockNow(int fd, int how) {
    for (;;) {
        if (::flock(fd, how | LOCK_NB) == 0) return true;
        if (errno != EINTR) return false;
    }
}

}  // namespace

std::string titleLockPath(const std::string& directory, const std::string& session, const std::string& title) {
    static const char* hex = "0123456789abcdef";
    std::string name = "window-" + session + "-";
    for (unsigned char c : title) {
        name.push_back(hex[c >> 4]);
        name.push_back(hex[c & 0xF]);
    }
    return directory + "/" + name + ".lock";
}

bool titleHeld(const std::string& directory, const std::string& session, const std::string& title) {
    const int fd = openLockFile(titleLockPath(directory, session, title));
    if (fd < 0) return false;
    const bool free = lockNow(fd, LOCK_EX);
    ::close(fd);  // also drops the lock just taken
    return !free;
}

TitleLock::~TitleLock() { release(); }

void TitleLock::hold(const std::string& title) {
    if (fd_ >= 0 && title == title_) return;
    release();
    const int fd = openLockFile(titleLockPath(dir_, session_, title));
    if (fd < 0) return;
    if (!lockNow(fd, LOCK_EX)) {
        // Another window of this title exists already and answers for both.
        ::close(fd);
        return;
    }
    fd_ = fd;
    title_ = title;
}

void TitleLock::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    title_.clear();
}

InstanceLock::InstanceLock(std::string directory, std::string session)
    : path_(directory + "/instance-" + session + ".lock") {
    fd_ = openLockFile(path_);
    if (fd_ >= 0 && !lockNow(fd_, LOCK_SH)) {
        ::close(fd_);
        fd_ = -1;
    }
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool InstanceLock::others() {
    // Our own shared lock would conflict with the probe, so step aside for the moment.
    if (fd_ >= 0) ::flock(fd_, LOCK_UN);
    const int probe = openLockFile(path_);
    bool others = false;
    if (probe >= 0) {
        others = !lockNow(probe, LOCK_EX);
        ::close(probe);
    }
    if (fd_ >= 0) lockNow(fd_, LOCK_SH);
    return others;
}

}  // namespace mv::qt
