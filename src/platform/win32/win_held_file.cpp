#include "platform/files/held_file.h"

#include <windows.h>

#include <filesystem>

#include "platform/error.h"

namespace mv::files {

namespace {

std::wstring finalPath(HANDLE h) {
    std::wstring buf(32768, L'\0');
    const DWORD n = GetFinalPathNameByHandleW(h, buf.data(), static_cast<DWORD>(buf.size()), FILE_NAME_NORMALIZED);
    return n > 0 && n < buf.size() ? buf.substr(0, n) : std::wstring();
}

// Whether the open file is the one its name gives in its folder, not one a link leads to.
// Links made outside Windows (as Wine shows a Unix link) carry no reparse point, but the final
// path of the handle still tells where it leads.
bool isItself(HANDLE h, const std::filesystem::path& path) {
    auto dir = path.parent_path();
    if (dir.empty()) dir = L".";
    HANDLE d = CreateFileW(dir.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (d == INVALID_HANDLE_VALUE) return false;
    std::wstring want = finalPath(d);
    CloseHandle(d);
    if (want.empty()) return false;
    if (want.back() != L'\\') want += L'\\';
    want += path.filename().wstring();
    const std::wstring got = finalPath(h);
    return !got.empty() && CompareStringOrdinal(want.c_str(), -1, got.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

namespace {

// No write sharing holds the file against every other writer; reading stays open for the
// picture loader. The file goes when this handle closes, also when the process is ended from
// outside (TerminateProcess closes its handles), so no frame file outlives the split.
constexpr DWORD kAccess = GENERIC_READ | GENERIC_WRITE | DELETE;
constexpr DWORD kSharing = FILE_SHARE_READ | FILE_SHARE_DELETE;

bool plainAndItself(HANDLE h, const std::filesystem::path& name) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(h, &info) && GetFileType(h) == FILE_TYPE_DISK &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
           info.nNumberOfLinks == 1 && isItself(h, name);
}

// A file left by an earlier run. It is first looked at through a handle that only reads its
// attributes: a link (which Wine follows when it was made outside Windows) must never be
// opened for deletion, or closing would delete the file it leads to. Only the same file, not
// the name again, is then opened for writing.
HANDLE holdExisting(const std::filesystem::path& name) {
    HANDLE probe = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;
    HANDLE h = plainAndItself(probe, name) ? ReOpenFile(probe, kAccess, kSharing, FILE_FLAG_DELETE_ON_CLOSE)
                                           : INVALID_HANDLE_VALUE;
    CloseHandle(probe);
    return h;
}

}  // namespace

bool HeldFile::tryHold(const std::string& path) {
    release();
    const std::filesystem::path name(std::u8string(path.begin(), path.end()));
    // A new file is made only where nothing is, not even a link, so it is ours from the first
    // moment and already goes with the process.
    HANDLE h = CreateFileW(name.c_str(), kAccess, kSharing, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE && !plainAndItself(h, name)) {
        CloseHandle(h);
        return false;
    }
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        h = holdExisting(name);
        if (h == INVALID_HANDLE_VALUE) return false;
    }
    handle_ = h;
    path_ = path;
    return true;
}

bool HeldFile::held() const { return handle_ != nullptr; }

void HeldFile::writeAt(int64_t offset, const uint8_t* data, size_t size) {
    if (!handle_) throw PlatformError(ErrFileAccess, "Scratch file not held");
    while (size > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
        const DWORD chunk = static_cast<DWORD>(size > (1u << 30) ? (1u << 30) : size);
        DWORD done = 0;
        if (!WriteFile(static_cast<HANDLE>(handle_), data, chunk, &done, &at) || done == 0)
            throw PlatformError(ErrFileAccess, "Cannot write " + path_);
        data += done;
        size -= done;
        offset += done;
    }
}

void HeldFile::release() noexcept {
    if (!handle_) return;
    // Closing deletes it (it was opened for deletion on close), so no other program can take
    // the name in between.
    CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

bool folderIsPrivate(const std::string&) { return true; }
bool folderIsSystems(const std::string&) { return false; }

}  // namespace mv::files
