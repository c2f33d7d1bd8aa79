#pragma once
// A scratch file held by this process alone. Scratch files may sit in a folder that other
// programs (another show, another user) can reach, so the file is opened without following a
// link, refused unless it is a plain file of this user, and locked while it is in use.
#include <cstddef>
#include <cstdint>
#include <string>

namespace mv::files {

class HeldFile {
public:
    HeldFile() = default;
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    ~HeldFile() { release(); }

    // Opens `path` for writing, creating it when missing and never shortening it, and locks it.
    // False when it cannot be held: another process holds it, it is a link, a device or not
    // this user's, or the folder takes no file.
    bool tryHold(const std::string& path);
    bool held() const;
    const std::string& path() const { return path_; }
    // Throws PlatformError(ErrFileAccess) when the bytes cannot be written.
    void writeAt(int64_t offset, const uint8_t* data, size_t size);
    // Deletes the file and lets it go; nothing happens when none is held.
    void release() noexcept;

private:
    std::string path_;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
    int slot_ = -1;  // where a signal handler finds the path (held_files_now.h)
#endif
};

// Whether a folder is this user's alone: a folder that other users may write to is no place
// for a scratch file, since they could plant or swap files in it. Always true on Windows,
// where the file itself is refused when it is a link.
bool folderIsPrivate(const std::string& dir);

// Whether a folder lies in the system's own trees, the package manager's (/usr, /bin, /opt and
// the like), whoever owns it. Always false on Windows, where a scratch file goes with its process.
bool folderIsSystems(const std::string& dir);

}  // namespace mv::files
