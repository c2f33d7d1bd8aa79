#include "platform/files/file_io.h"

#include <sys/types.h>

namespace mv::files {

std::FILE* openFile(const std::string& utf8, const char* mode) { return std::fopen(utf8.c_str(), mode); }

int seekTo(std::FILE* f, int64_t offset, int whence) { return fseeko(f, static_cast<off_t>(offset), whence); }

int64_t tell(std::FILE* f) { return static_cast<int64_t>(ftello(f)); }

bool markedHidden(const std::string&) { return false; }

void markHidden(const std::string&) {}

}  // namespace mv::files
