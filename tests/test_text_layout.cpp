// Label wrapping and scroll-bar mapping, which both backends' dialogs use.
#include <gtest/gtest.h>

#include "platform/ui/dialog_geometry.h"
#include "platform/ui/scroll_map.h"
#include "platform/ui/text_wrap.h"

using namespace mv;

namespace {
// Five pixels a character: enough to reason about widths by counting.
int fiveEach(const std::wstring& s) { return static_cast<int>(s.size()) * 5; }
}  // namespace

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

// A caption keeps its designed size while it fits, shrinks in quarter points to the largest
// size that fits, and stops at 6 points; wrapping counts lines, a single line only its width.
TEST(CaptionFitting, LargestSizeThatShowsTheCaptionWhole) {
    // A character is as wide as the point size, a line twice as high.
    const dialog::TextMeasure measure{[](const std::wstring& s, double pt) { return static_cast<int>(s.size() * pt); },
                                      [](double pt) { return static_cast<int>(2 * pt); }};
    EXPECT_DOUBLE_EQ(dialog::fittingPointSize(L"Browse", 8, 48, 16, false, measure), 8);
    EXPECT_DOUBLE_EQ(dialog::fittingPointSize(L"Browse", 8, 45, 16, false, measure), 7.5);
    EXPECT_DOUBLE_EQ(dialog::fittingPointSize(L"Browse", 8, 10, 16, false, measure), 6);
    EXPECT_DOUBLE_EQ(dialog::fittingPointSize(L"aa bb", 8, 16, 32, true, measure), 8);   // two lines of 16
    EXPECT_DOUBLE_EQ(dialog::fittingPointSize(L"aa bb", 8, 16, 31, true, measure), 7.75);
    EXPECT_DOUBLE_EQ(dialog::fittingPointSize(L"aa bb", 8, 16, 31, false, measure), 6);
}

TEST(DialogGeometry, TabOrderAndPixelEdges) {
    Layout layout;
    for (int tab : {3, -1, 1, 3, 0}) {
        LayoutItem row;
        row.tabIndex = tab;
        layout.items.push_back(row);
    }
    EXPECT_EQ(dialog::tabOrder(layout), (std::vector<size_t>{4, 2, 0, 3}));
    // Two rows that touch in twips touch in pixels, at any density.
    const Units units{12.0, 20.0};
    LayoutItem a, b;
    a.left = 5, a.width = 100, a.top = 7, a.height = 33;
    b.left = 105, b.width = 50, b.top = 40, b.height = 10;
    const auto ra = dialog::rectOf(a, units), rb = dialog::rectOf(b, units);
    EXPECT_EQ(ra.left + ra.width, rb.left);
    EXPECT_EQ(ra.top + ra.height, rb.top);
}
