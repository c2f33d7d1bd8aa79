#pragma once
// Per-user places on Linux: the private scratch directory and the locks that tell running
// instances of the program apart.
#include <string>

namespace mv::qt {

// $XDG_RUNTIME_DIR/marvoscope when set, else $XDG_CACHE_HOME (or ~/.cache)/marvoscope, created
// with owner-only access. Throws PlatformError(ErrFileAccess) for a directory that is a
// symbolic link, not owned by the user or open to others.
std::string userScratchDirectory();

// The X display (or other session) the program shows on, as a file-name-safe key, so that two
// sessions of one user do not see each other's windows.
std::string sessionKey();

}  // namespace mv::qt
