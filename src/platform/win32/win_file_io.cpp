#include "platform/files/file_io.h"

#include <filesystem>

namespace mv::files {

std::FILE* openFile(const std::string& utf8, const char* mode) {
    const std::filesystem::path path(std::u8string(utf8.begin(), utf8.end()));
    std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wmode.c_str());
}

int seekTo(std::FILE* f, int64_t offset, int whence) { return _fseeki64(f, offset, whence); }

int64_t tell(std::FILE* f) { return _ftelli64(f); }

}  // namespace mv::files
