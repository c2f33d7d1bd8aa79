#pragma once
#include <QString>
#include <string>

#include "platform/platform.h"

namespace mv::qt {

// The modal file-open dialog; returns the chosen path, throws PlatformError(ErrCancel) on cancel.
std::string showOpenDialog(const OpenFileRequest& request);
// The toolkit's folder chooser, starting at `start`; throws ErrCancel when cancelled.
std::string showFolderDialog(const std::string& start);

// A filter text such as "*.bmp;*.jpg;*.gif" as a Qt name filter that shows the text as it is.
// File names are case-sensitive here, so each pattern is offered in upper case as well:
// camera pictures are often named "IMG_0001.JPG".
QString nameFilterFor(const std::string& filter);

// The user's folders a file dialog may start in: XDG's Pictures folder (user-dirs.dirs, else
// ~/Pictures) and home.
std::string userPicturesFolder();
std::string userHomeFolder();
bool isFolder(const std::string& path);

}  // namespace mv::qt
