#pragma once
// File services on UTF-8 paths. Failures throw PlatformError (53 missing, 75 access).
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace mv::files {

// Size of a file in bytes; throws ErrFileNotFound when it does not exist.
int64_t fileLen(const std::string& path);
// Exactly `length` bytes of a file from `offset`; throws ErrFileNotFound when the file cannot be
// opened and ErrFileAccess when the bytes are not all there.
std::vector<uint8_t> readRange(const std::string& path, uint64_t offset, size_t length);
// Directory search for one name: the file's name when it exists (not a directory), else "".
std::string dir(const std::string& path);
// Deletes a file; throws ErrFileNotFound when there is none.
void kill(const std::string& path);
bool exists(const std::string& path);
bool isFolder(const std::string& path);

enum class Mode { ReadOnly, ReadWrite };

// Files opened by number, as the handlers use them; closeAll() lets an input handler drop
// whatever a half-finished operation left open.
class FileTable {
public:
    ~FileTable();
    int freeFile() const;
    // ReadWrite creates a missing file and never shortens an existing one.
    void open(int number, const std::string& path, Mode mode);
    int64_t length(int number);
    std::vector<uint8_t> readAll(int number);
    // Reads exactly `size` bytes from `offset`; throws ErrFileAccess when they are not there.
    void readAt(int number, int64_t offset, uint8_t* data, size_t size);
    void writeAt(int number, int64_t offset, const uint8_t* data, size_t size);
    void close(int number);
    void closeAll();
    size_t openCount() const { return open_.size(); }

private:
    std::FILE* handle(int number);
    std::map<int, std::FILE*> open_;
};

FileTable& fileTable();  // the process's one table

}  // namespace mv::files
