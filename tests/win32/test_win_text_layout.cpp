// Pure pieces of the Win32 backend: text conversion, label wrapping, scroll mapping, filters.
#include <gtest/gtest.h>

#include "win_file_dialog.h"
#include "win_scroll_map.h"
#include "win_text.h"
#include "win_wrap.h"

using namespace mv::win32;

namespace {
// Five pixels a character: enough to reason about widths by counting.
int fiveEach(const std::wstring& s) { return static_cast<int>(s.size()) * 5; }
}  // namespace

TEST(TextConversion, RoundTripsNonLatinAndSurrogatePairs) {
    const std::string utf8 = "Картинки/写真/\xF0\x9F\x96\xBC.jpg";  // the last one outside the BMP
    const std::wstring wide = widen(utf8);
    EXPECT_EQ(wide.substr(0, 8), L"Картинки");
    EXPECT_EQ(wide.size(), 8u + 1 + 2 + 1 + 2 + 4);
    EXPECT_EQ(narrow(wide), utf8);
    EXPECT_EQ(widen(""), L"");
    EXPECT_EQ(narrow(static_cast<const wchar_t*>(nullptr)), "");
}

TEST(LabelWrap, BreaksAtBlankRunsAndDropsThem) {
    // The mouse legend of the setup dialog: three lines in a label 110 pixels wide.
    const auto lines = wrapText(L"Mouse Sensitivity          1 = Most Sensitive       30 = Least Sensitive", 110, fiveEach);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], L"Mouse Sensitivity");
    EXPECT_EQ(lines[1], L"1 = Most Sensitive");
    EXPECT_EQ(lines[2], L"30 = Least Sensitive");
}

TEST(LabelWrap, KeepsLineBreaksLeadingBlanksAndOverlongWords) {
    auto lines = wrapText(L"one\r\ntwo three", 1000, fiveEach);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], L"two three");
    EXPECT_EQ(wrapText(L"  indented", 1000, fiveEach)[0], L"  indented");
    lines = wrapText(L"a marvoscope.example.org b", 40, fiveEach);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], L"marvoscope.example.org");  // the label clips it, nothing is lost
    EXPECT_EQ(wrapText(L"", 50, fiveEach), std::vector<std::wstring>{L""});
}

TEST(LabelWrap, FitsOnlyWhenEveryLineShowsWhole) {
    const std::wstring legend = L"Background Color Selector     For Transparent Images";
    EXPECT_TRUE(wrappedTextFits(legend, 125, 28, 14, fiveEach));   // two lines of 14 in 28
    EXPECT_FALSE(wrappedTextFits(legend, 125, 27, 14, fiveEach));  // the second line is cut
    EXPECT_FALSE(wrappedTextFits(legend, 100, 28, 14, fiveEach));  // wraps into three lines
    EXPECT_FALSE(wrappedTextFits(L"marvoscope.example.org", 100, 100, 14, fiveEach));  // a word too wide
    EXPECT_TRUE(wrappedTextFits(L"", 0, 14, 14, fiveEach));
}

TEST(ScrollMapping, ForwardRangeStepsAndClamps) {
    // A colour slider: 0..255, small change 10, large change 20.
    EXPECT_EQ(scrollTarget(0, 255, 0, 10, 20, kLineForward, 0), 10);
    EXPECT_EQ(scrollTarget(0, 255, 0, 10, 20, kPageForward, 0), 20);
    EXPECT_EQ(scrollTarget(0, 255, 5, 10, 20, kLineBack, 0), 0);
    EXPECT_EQ(scrollTarget(0, 255, 250, 10, 20, kPageForward, 0), 255);
    EXPECT_EQ(scrollTarget(0, 255, 40, 10, 20, kThumbPosition, 128), 128);
    EXPECT_EQ(scrollTarget(0, 255, 40, 10, 20, kThumbTrack, 128), 40);  // only the release counts
    EXPECT_EQ(scrollTarget(0, 255, 40, 10, 20, kEndScroll, 0), 40);
    EXPECT_EQ(scrollTarget(0, 255, 40, 10, 20, kToEnd, 0), 255);
}

TEST(ScrollMapping, ReversedRangeRaisesTheValueTowardsTheStart) {
    // Minimum 30 above maximum 0: the upper arrow raises the value.
    EXPECT_EQ(scrollSpan(30, 0), 30);
    EXPECT_EQ(scrollPosition(30, 0, 30), 0);
    EXPECT_EQ(scrollPosition(30, 0, 1), 29);
    EXPECT_EQ(scrollTarget(30, 0, 1, 1, 5, kLineBack, 0), 2);
    EXPECT_EQ(scrollTarget(30, 0, 1, 1, 5, kLineForward, 0), 0);
    EXPECT_EQ(scrollTarget(30, 0, 28, 1, 5, kPageBack, 0), 30);
    EXPECT_EQ(scrollTarget(30, 0, 1, 1, 5, kThumbPosition, 10), 20);
}

TEST(FileDialogFilter, AFilterWithoutDescriptionIsItsOwnDescription) {
    const std::wstring f = fileDialogFilter("*.bmp;*.jpg;*.gif");
    EXPECT_EQ(f, std::wstring(L"*.bmp;*.jpg;*.gif\0*.bmp;*.jpg;*.gif\0\0", 37));
    const std::wstring pairs = fileDialogFilter("Pictures|*.bmp;*.jpg|All|*.*");
    EXPECT_EQ(pairs, std::wstring(L"Pictures\0*.bmp;*.jpg\0All\0*.*\0\0", 30));
    EXPECT_EQ(fileDialogFilter(""), std::wstring(1, L'\0'));
}
