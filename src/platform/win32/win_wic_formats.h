#pragma once
#include <string>
#include <vector>

namespace mv::win32 {

// The name endings (lower case, no dot) of the picture types the system's imaging codecs
// read, beyond BMP, JPG, JPEG, GIF and PNG; none when the system has no imaging component.
std::vector<std::string> wicPictureSuffixes();

}  // namespace mv::win32
