#pragma once
#include <functional>
#include <string>

namespace mv {

class Platform;
namespace files {
class HeldFile;
}

// Holds the splitter's one-frame scratch file "tmp.gif": in the current directory (the
// program's own) when that folder is this user's alone, not one of the system's (where the
// package manager installs programs), and no other show holds the file there; otherwise in the user's private scratch directory, since an installed program's
// directory is usually read-only or shared, and there under a name of this process's own when
// another show of the same user holds "tmp.gif". Throws PlatformError(ErrFileAccess) when no
// file can be held.
void holdScratchGif(Platform& platform, files::HeldFile& file);
// Holds the scratch file as above and runs `write` on it. When the file in the program's
// directory cannot be written whole (its disk is full), the write is made once more on a file
// in the private scratch directory.
void writeScratchGif(Platform& platform, files::HeldFile& file, const std::function<void(files::HeldFile&)>& write);

}  // namespace mv
