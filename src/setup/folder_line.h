#pragma once
// The line beside "Folder..." that says what the "File" box will play.
#include <string>

namespace mv {

inline constexpr const char* kSinglePictureLine = "One picture plays: see the File tab";
inline constexpr const char* kNothingChosenLine = "Nothing chosen yet";

// "Plays the folder NAME" for a folder, kSinglePictureLine for a file, "Not found: NAME" for a
// path that names nothing, kNothingChosenLine for a blank one. A long NAME is cut, so that the
// line keeps to the two lines it has room for.
std::string FolderLine(const std::string& fileBoxText);

}  // namespace mv
