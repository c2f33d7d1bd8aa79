#include "platform/files/files.h"

#include <filesystem>
#include <system_error>

#include "platform/error.h"
#include "platform/files/file_io.h"

namespace fs = std::filesystem;

namespace mv::files {
namespace {

fs::path toPath(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

int64_t fileLen(const std::string& path) {
    std::error_code ec;
    const auto p = toPath(path);
    if (path.empty() || !fs::is_regular_file(p, ec)) throw PlatformError(ErrFileNotFound, "File not found: " + path);
    const auto size = fs::file_size(p, ec);
    if (ec) throw PlatformError(ErrFileAccess, "Cannot read size of " + path);
    return static_cast<int64_t>(size);
}

std::string dir(const std::string& path) {
    std::error_code ec;
    const auto p = toPath(path);
    if (path.empty() || !fs::is_regular_file(p, ec)) return {};
    const auto name = p.filename().u8string();
    return std::string(name.begin(), name.end());
}

std::vector<uint8_t> readRange(const std::string& path, uint64_t offset, size_t length) {
    std::FILE* f = openFile(path, "rb");
    if (!f) throw PlatformError(ErrFileNotFound, "Cannot open " + path);
    std::vector<uint8_t> bytes(length);
    const bool ok = seekTo(f, static_cast<int64_t>(offset), SEEK_SET) == 0 &&
                    (length == 0 || std::fread(bytes.data(), 1, length, f) == length);
    std::fclose(f);
    if (!ok) throw PlatformError(ErrFileAccess, "Cannot read " + path);
    return bytes;
}

bool exists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::exists(toPath(path), ec);
}

bool isFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(toPath(path), ec);
}

void kill(const std::string& path) {
    std::error_code ec;
    if (!fs::remove(toPath(path), ec)) throw PlatformError(ErrFileNotFound, "Cannot delete " + path);
}

FileTable::~FileTable() { closeAll(); }

int FileTable::freeFile() const {
    int n = 1;
    while (open_.count(n)) ++n;
    return n;
}

void FileTable::open(int number, const std::string& path, Mode mode) {
    if (open_.count(number)) throw PlatformError(ErrFileAccess, "File number already open");
    std::FILE* f = nullptr;
    if (mode == Mode::ReadOnly) {
        f = openFile(path, "rb");
        if (!f) throw PlatformError(ErrFileNotFound, "Cannot open " + path);
    } else {
        f = openFile(path, "r+b");
        if (!f) f = openFile(path, "w+b");
        if (!f) throw PlatformError(ErrFileAccess, "Cannot open " + path + " for writing");
    }
    open_[number] = f;
}

std::FILE* FileTable::handle(int number) {
    auto it = open_.find(number);
    if (it == open_.end()) throw PlatformError(ErrBadFileName, "File number not open");
    return it->second;
}

int64_t FileTable::length(int number) {
    std::FILE* f = handle(number);
    if (seekTo(f, 0, SEEK_END) != 0) throw PlatformError(ErrFileAccess, "Cannot seek");
    const int64_t size = tell(f);
    if (size < 0) throw PlatformError(ErrFileAccess, "Cannot tell size");
    return size;
}

std::vector<uint8_t> FileTable::readAll(int number) {
    std::FILE* f = handle(number);
    const int64_t size = length(number);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    std::rewind(f);
    if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size())
        throw PlatformError(ErrFileAccess, "Cannot read file");
    return bytes;
}

void FileTable::readAt(int number, int64_t offset, uint8_t* data, size_t size) {
    std::FILE* f = handle(number);
    if (seekTo(f, offset, SEEK_SET) != 0) throw PlatformError(ErrFileAccess, "Cannot seek");
    if (size > 0 && std::fread(data, 1, size, f) != size) throw PlatformError(ErrFileAccess, "Cannot read file");
}

void FileTable::writeAt(int number, int64_t offset, const uint8_t* data, size_t size) {
    std::FILE* f = handle(number);
    if (seekTo(f, offset, SEEK_SET) != 0) throw PlatformError(ErrFileAccess, "Cannot seek");
    if (size > 0 && std::fwrite(data, 1, size, f) != size) throw PlatformError(ErrFileAccess, "Cannot write file");
}

void FileTable::close(int number) {
    auto it = open_.find(number);
    if (it == open_.end()) return;
    const bool ok = std::fclose(it->second) == 0;
    open_.erase(it);
    if (!ok) throw PlatformError(ErrFileAccess, "Cannot close file");
}

void FileTable::closeAll() {
    for (auto& [n, f] : open_) std::fclose(f);
    open_.clear();
}

FileTable& fileTable() {
    static FileTable table;
    return table;
}

}  // namespace mv::files
