#pragma once
// Text over pictures on Windows: a line drawn with GDI in the system's message font, and dates
// and times in the user's locale.
#include <string>

#include "platform/platform.h"

namespace mv::win32 {

// Safe on any thread: every call has its own device context.
TextCoverage drawCaptionText(const std::string& utf8, int pixelSize);
std::string localeLongDatePattern();
std::string localeDate(const std::string& pattern, int year, int month, int day);
std::string localeShortTimePattern();
std::string localeTime(const std::string& pattern, int hour, int minute);

}  // namespace mv::win32
