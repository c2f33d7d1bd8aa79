#pragma once
// Per-user places on Linux: the private scratch and cache directories and the locks that tell running
// instances of the program apart.
#include <string>

namespace mv::qt {

// "marvoscope" in the first of $XDG_RUNTIME_DIR, $XDG_CACHE_HOME and ~/.cache that is (or can
// be made) a folder the user may write in, else "marvoscope-<uid>" in $TMPDIR (or /tmp); created
// with owner-only access. Throws PlatformError(ErrFileAccess) for a directory that is a
// symbolic link, not owned by the user or open to others.
std::string userScratchDirectory();

// "marvoscope" in $XDG_CACHE_HOME, else in ~/.cache; created with owner-only access. Throws
// PlatformError(ErrFileAccess) when neither can be made or the folder is unsafe, as above.
std::string userCacheDirectory();

// The X display (or other session) the program shows on, as a file-name-safe key, so that two
// sessions of one user do not see each other's windows. Every spelling of one local display
// (":0", ":0.0", "unix:0") gives one key.
std::string sessionKey();

}  // namespace mv::qt
