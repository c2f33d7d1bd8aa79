#pragma once
// The program keeps text as UTF-8; Windows speaks UTF-16 at its W entry points.
#include <string>

namespace mv::win32 {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);
std::string narrow(const wchar_t* utf16);

}  // namespace mv::win32
