#include "platform/files/file_io.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>

namespace mv::files {

std::FILE* openFile(const std::string& utf8, const char* mode) {
    const std::filesystem::path path(std::u8string(utf8.begin(), utf8.end()));
    if (std::char_traits<char>::compare(mode, "rb", 3) == 0) {
        // A file being read may be deleted or replaced meanwhile, as on POSIX: the picture of
        // a running show is read again for each frame, and the user owns it; the scratch file
        // is held for deletion when its holder closes it.
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
        if (fd < 0) {
            CloseHandle(h);
            return nullptr;
        }
        std::FILE* f = _fdopen(fd, "rb");
        if (!f) _close(fd);
        return f;
    }
    std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wmode.c_str());
}

int seekTo(std::FILE* f, int64_t offset, int whence) { return _fseeki64(f, offset, whence); }

int64_t tell(std::FILE* f) { return _ftelli64(f); }

bool markedHidden(const std::string& utf8) {
    const std::filesystem::path path(std::u8string(utf8.begin(), utf8.end()));
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

void markHidden(const std::string& utf8) {
    const std::filesystem::path path(std::u8string(utf8.begin(), utf8.end()));
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace mv::files
