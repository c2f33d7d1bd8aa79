#pragma once
// Which windows and instances of the program exist in this user session.
//
// X11 offers no reliable, toolkit-neutral way to find another client's top-level window by its
// title (and Qt's offscreen and Wayland platforms offer none at all), so each native window
// holds an advisory lock (flock) on a file named after its title and the session in the
// user's private scratch directory, for as long as it exists. A window "exists" when someone
// holds its title lock; the kernel drops the lock when the window closes or its process dies,
// so a crashed saver never blocks the next one. Each process likewise holds a shared lock on
// an instance file for its whole life.
#include <string>

namespace mv::qt {

// An exclusive lock on one title; moved to a new title when the window is renamed.
class TitleLock {
public:
    TitleLock(std::string directory, std::string session) : dir_(std::move(directory)), session_(std::move(session)) {}
    ~TitleLock();
    TitleLock(const TitleLock&) = delete;
    TitleLock& operator=(const TitleLock&) = delete;
    void hold(const std::string& title);  // best effort: a failure leaves no lock
    void release();

private:
    std::string dir_, session_, title_;
    int fd_ = -1;
};

// The lock file of a title in a session.
std::string titleLockPath(const std::string& directory, const std::string& session, const std::string& title);
// Whether any open file description (this process's included) holds the title's lock.
bool titleHeld(const std::string& directory, const std::string& session, const std::string& title);

// This process's membership in the set of running instances of the session.
class InstanceLock {
public:
    InstanceLock(std::string directory, std::string session);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    // Whether another process of the program runs in this session.
    bool others();

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace mv::qt
