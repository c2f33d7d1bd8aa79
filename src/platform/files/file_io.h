#pragma once
// The few file calls whose form differs between systems: each OS folder gives its own.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace mv::files {

// fopen on a UTF-8 path.
std::FILE* openFile(const std::string& utf8, const char* mode);
// fseek and ftell with 64-bit offsets: a long holds only 2 GB on Windows.
int seekTo(std::FILE* f, int64_t offset, int whence);
int64_t tell(std::FILE* f);
// Whether the file system marks a file or folder hidden: the attribute Windows Explorer keeps
// out of sight. POSIX has no such mark; a name starting with a dot is its convention instead.
bool markedHidden(const std::string& utf8);
// Marks a file or folder hidden where the system has that mark (tests make hidden files so).
void markHidden(const std::string& utf8);
// Replaces a file's content as one step: written beside it under a name of its own, flushed to
// the disk and renamed over it, so that a reader finds the old content or the new, never a part.
// A new file is the owner's alone. False when it cannot; the old content then stays.
bool replaceFile(const std::string& utf8, std::string_view bytes);
// The content of a plain file of at most `maxBytes`; nothing when it is missing, larger, not a
// plain file (a pipe would keep the reader waiting) or cannot be read.
std::optional<std::string> readSmallFile(const std::string& utf8, size_t maxBytes);

}  // namespace mv::files
