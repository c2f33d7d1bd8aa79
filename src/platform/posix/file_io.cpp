#include "platform/files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace mv::files {

std::FILE* openFile(const std::string& utf8, const char* mode) { return std::fopen(utf8.c_str(), mode); }

int seekTo(std::FILE* f, int64_t offset, int whence) { return fseeko(f, static_cast<off_t>(offset), whence); }

int64_t tell(std::FILE* f) { return static_cast<int64_t>(ftello(f)); }

bool markedHidden(const std::string&) { return false; }

void markHidden(const std::string&) {}

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

bool replaceFile(const std::string& utf8, std::string_view bytes) {
    // A name no other writer holds: two shows writing one file each finish their own.
    std::string temporary = utf8 + ".new-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), utf8.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself survives a crash of the machine once the folder is synced.
    const size_t slash = utf8.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : utf8.substr(0, slash);
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

std::optional<std::string> readSmallFile(const std::string& utf8, size_t maxBytes) {
    const int fd = ::open(utf8.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<std::string> text;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uintmax_t>(st.st_size) <= maxBytes) {
        // One byte more than the size said shows a file that grew meanwhile.
        std::string bytes(static_cast<size_t>(st.st_size) + 1, '\0');
        size_t got = 0;
        for (;;) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                if (n == 0) text = bytes.substr(0, got);
                break;
            }
            got += static_cast<size_t>(n);
            if (got == bytes.size()) break;
        }
    }
    ::close(fd);
    return text;
}

}  // namespace mv::files
