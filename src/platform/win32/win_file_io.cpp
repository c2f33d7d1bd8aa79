#include "platform/files/file_io.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
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

bool replaceFile(const std::string& utf8, std::string_view bytes) {
    const std::filesystem::path path(std::u8string(utf8.begin(), utf8.end()));
    // A name no other writer holds: two shows writing one file each finish their own.
    std::wstring temporary = path.wstring() + L".new-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(GetCurrentThreadId());
    HANDLE h = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    while (written && !bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
        DWORD n = 0;
        written = WriteFile(h, bytes.data(), chunk, &n, nullptr) && n == chunk;
        bytes.remove_prefix(n);
    }
    written = written && FlushFileBuffers(h);
    CloseHandle(h);
    if (!written ||
        !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<std::string> readSmallFile(const std::string& utf8, size_t maxBytes) {
    const std::filesystem::path path(std::u8string(utf8.begin(), utf8.end()));
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> text;
    LARGE_INTEGER size{};
    // Only a file on a disk: a pipe or a device would keep the reader waiting.
    if (GetFileType(h) == FILE_TYPE_DISK && GetFileSizeEx(h, &size) && size.QuadPart >= 0 &&
        static_cast<uint64_t>(size.QuadPart) <= maxBytes) {
        std::string bytes(static_cast<size_t>(size.QuadPart) + 1, '\0');
        size_t got = 0;
        for (;;) {
            DWORD n = 0;
            if (!ReadFile(h, bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &n, nullptr)) break;
            if (n == 0) {
                text = bytes.substr(0, got);
                break;
            }
            got += n;
            if (got == bytes.size()) break;  // grew meanwhile
        }
    }
    CloseHandle(h);
    return text;
}

}  // namespace mv::files
