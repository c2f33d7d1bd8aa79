#pragma once
// Text over pictures on Linux: a line drawn in the desktop's user-interface font, and dates and
// times in the user's locale.
#include <string>

#include "platform/platform.h"

namespace mv::qt {

// Safe on any thread once the application object exists.
TextCoverage drawCaptionText(const std::string& utf8, int pixelSize);
std::string localeLongDatePattern();
std::string localeDate(const std::string& pattern, int year, int month, int day);
std::string localeShortTimePattern();
std::string localeTime(const std::string& pattern, int hour, int minute);

}  // namespace mv::qt
