#pragma once
#include <string>

namespace mv {

class Platform;

// Where the frame splitter writes its one-frame scratch file "tmp.gif": the current directory
// (the program's own) when a file can be written there, otherwise the user's private scratch
// directory, since an installed program's directory is usually read-only.
std::string scratchGifPath(Platform& platform);

}  // namespace mv
