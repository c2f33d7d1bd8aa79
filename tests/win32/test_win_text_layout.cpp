// Pure pieces of the Win32 backend: text conversion and file dialog filters.
#include <gtest/gtest.h>

#include "platform/win32/win_file_dialog.h"
#include "platform/win32/win_text.h"

using namespace mv::win32;

TEST(TextConversion, RoundTripsNonLatinAndSurrogatePairs) {
    const std::string utf8 = "Картинки/写真/\xF0\x9F\x96\xBC.jpg";  // the last one outside the BMP
    const std::wstring wide = widen(utf8);
    EXPECT_EQ(wide.substr(0, 8), L"Картинки");
    EXPECT_EQ(wide.size(), 8u + 1 + 2 + 1 + 2 + 4);
    EXPECT_EQ(narrow(wide), utf8);
    EXPECT_EQ(widen(""), L"");
    EXPECT_EQ(narrow(static_cast<const wchar_t*>(nullptr)), "");
}

TEST(FileDialogFilter, AFilterWithoutDescriptionIsItsOwnDescription) {
    const std::wstring f = fileDialogFilter("*.bmp;*.jpg;*.gif");
    EXPECT_EQ(f, std::wstring(L"*.bmp;*.jpg;*.gif\0*.bmp;*.jpg;*.gif\0\0", 37));
    const std::wstring pairs = fileDialogFilter("Pictures|*.bmp;*.jpg|All|*.*");
    EXPECT_EQ(pairs, std::wstring(L"Pictures\0*.bmp;*.jpg\0All\0*.*\0\0", 30));
    EXPECT_EQ(fileDialogFilter(""), std::wstring(1, L'\0'));
}
