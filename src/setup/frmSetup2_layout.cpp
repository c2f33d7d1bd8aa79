// The design of the setup dialog: every control with its container, place, size, tab order
// and design values, in twips.
#include <string>

#include "setup/frmSetup2.h"

namespace mv {

namespace {

constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);
constexpr int32_t kWindowText = static_cast<int32_t>(0x80000008);
constexpr int32_t kLinkBlue = 0x00C00000;

LayoutItem onPage(LayoutItem i, int page) {
    i.page = page;
    return i;
}

LayoutItem colorBar(ScrollBar& bar, long top, long height, int tabIndex) {
    LayoutItem i = layoutRow(ControlKind::HScrollBar, bar, "Picture2", 90, top, 1410, height, tabIndex);
    i.scroll = {0, 255, 10, 20, 0};
    return i;
}

LayoutItem band(Shape& shape, long left, long top, long width, long height, int32_t fill) {
    LayoutItem i = layoutRow(ControlKind::Shape, shape, "Picture2", left, top, width, height, -1);
    i.backColor = fill;
    return i;
}

LayoutItem option(CheckBox& box, const std::string& container, long top, long width, int tabIndex,
                  const std::string& caption) {
    LayoutItem i = layoutRow(ControlKind::CheckBox, box, container, 120, top, width, 210, tabIndex, caption);
    i.flags = kOptionButton;
    return i;
}

LayoutItem link(Label& label, long left, long top, const std::string& host, double points, int tabIndex) {
    LayoutItem i = onPage(layoutRow(ControlKind::Label, label, "SSTab1", left, top, 2715, 390, tabIndex, host), 3);
    i.foreColor = kLinkBlue;
    i.font = {"Lucida Sans Unicode", points, true};
    i.flags = kHandCursor;
    return i;
}

LayoutItem underline(Line& line, long x1, long y1, long x2, long y2) {
    LayoutItem i = onPage(layoutRow(ControlKind::Line, line, "SSTab1", x1, y1, x2 - x1, y2 - y1, -1), 3);
    i.borderColor = kLinkBlue;
    i.borderWidth = 2;
    return i;
}

}  // namespace

std::unique_ptr<Layout> frmSetup2::makeLayout() {
    auto layout = std::make_unique<Layout>();
    layout->clientWidth = 4875;
    layout->clientHeight = 2625;
    layout->backColor = kButtonFace;
    auto& items = layout->items;
    using K = ControlKind;

    LayoutItem strip = layoutRow(K::TabStrip, SSTab1, "", 0, 0, 4875, 2205, 14);
    strip.tabs = {"File", "Mouse", "Colors", "URLs", "Help", "Show"};
    strip.tabHeight = 295;  // 520 hundredths of a millimetre
    strip.backColor = kButtonFace;
    items.push_back(strip);
    items.push_back(layoutRow(K::CommandButton, Command1, "", 90, 2280, 1800, 315, 0, "Save settings, Close"));
    items.push_back(layoutRow(K::CommandButton, Command6, "", 2070, 2280, 1800, 315, 37, "Just Close"));

    // "File"
    items.push_back(onPage(layoutRow(K::Label, Label11, "SSTab1", 240, 510, 4215, 300, 39,
                                     "Select a File (JPG, GIF, BMP, still or animated)"), 0));
    items.push_back(
        onPage(layoutRow(K::Frame, Frame3, "SSTab1", 105, 765, 4650, 1110, 15, "Name of Screensaver File"), 0));
    items.push_back(layoutRow(K::TextBox, txFile, "Frame3", 75, 255, 4425, 330, 17));
    items.push_back(layoutRow(K::CommandButton, Command5, "Frame3", 3645, 630, 810, 315, 16, "Browse"));
    items.push_back(layoutRow(K::Label, Label15, "Frame3", 120, 675, 4425, 225, 43,
                              "Not all animations work in this screensaver"));

    // "Mouse"
    items.push_back(onPage(layoutRow(K::Frame, Frame1, "SSTab1", 510, 495, 3795, 1260, 21, "Mouse Sensitivity"), 1));
    LayoutItem sensit = layoutRow(K::TextBox, Sensit, "Frame1", 210, 420, 405, 285, 22, "15");
    sensit.maxLength = 2;
    items.push_back(sensit);
    items.push_back(layoutRow(K::Label, Label7, "Frame1", 1050, 300, 1650, 585, 27,
                              "Mouse Sensitivity          1 = Most Sensitive       30 = Least Sensitive"));
    // The delay group lies below the frame's lower edge: never seen, still in the tab order.
    items.push_back(layoutRow(K::TextBox, Text3, "Frame1", 135, 1530, 315, 345, 25, "1"));
    LayoutItem delayBar = layoutRow(K::VScrollBar, VScroll1, "Frame1", 525, 1560, 225, 345, 24);
    delayBar.scroll = {30, 0, 1, 5, 1};
    items.push_back(delayBar);
    items.push_back(layoutRow(K::CommandButton, Command2, "Frame1", 2790, 1605, 1275, 285, 23, "Save settings"));
    items.push_back(
        layoutRow(K::Label, Label5, "Frame1", 915, 1530, 5115, 705, 28,
                  "Enter the delay time (in minutes) before the screensaver comes on. NOTE: You should enter "
                  "a delay time LESS than that of your regular Windows screensaver. Better yet, turn your "
                  "Windows screensaver OFF."));
    items.push_back(layoutRow(K::CheckBox, ChkOpenSS, "Frame1", 1275, 2025, 255, 285, 26));
    items.push_back(layoutRow(K::Label, Label6, "Frame1", 1950, 2070, 2595, 345, 29, "Screensaver on when checked"));

    // "Colors"
    items.push_back(onPage(layoutRow(K::Label, Label8, "SSTab1", 840, 510, 2175, 420, 36,
                                     "Background Color Selector     For Transparent Images"), 2));
    LayoutItem panel = onPage(layoutRow(K::PictureBox, Picture2, "SSTab1", 525, 1020, 3450, 555, 30), 2);
    panel.backColor = 0x00F2B042;
    panel.foreColor = kWindowText;
    items.push_back(panel);
    items.push_back(band(Shape1, -60, -15, 1695, 195, 0x000000FF));
    items.push_back(band(Shape2, -45, 150, 1725, 225, 0x0000FF00));
    LayoutItem blue = band(Shape3, -420, 360, 2235, 255, 0x00FF0000);
    blue.borderColor = 0x00000000;
    items.push_back(blue);
    items.push_back(colorBar(HScroll1, 0, 195, 31));
    items.push_back(colorBar(HScroll2, 180, 180, 32));
    items.push_back(colorBar(HScroll3, 360, 180, 33));
    LayoutItem swatch = layoutRow(K::PictureBox, Picture1, "Picture2", 1575, -30, 2655, 765, 34);
    swatch.backColor = 0x00000000;
    swatch.foreColor = kWindowText;
    items.push_back(swatch);
    LayoutItem number = onPage(layoutRow(K::Label, Label2, "SSTab1", 645, 1695, 1695, 240, 35, "Label2"), 2);
    number.flags = kHidden;
    items.push_back(number);

    // "URLs"
    items.push_back(link(Label9, 165, 465, kMakerHost, 9.75, 38));
    items.push_back(underline(Line1, 225, 705, 1995, 705));
    items.push_back(onPage(layoutRow(K::Label, Label12, "SSTab1", 180, 720, 4515, 645, 40, "Talvex homepage"), 3));
    items.push_back(link(Label14, 195, 1335, kImagesHost, 8.25, 42));
    items.push_back(underline(Line2, 195, 1575, 2250, 1560));
    items.push_back(onPage(layoutRow(K::Label, Label13, "SSTab1", 225, 1620, 4545, 435, 41,
                                     "This site has loads of cool image files you can use in your screensaver"), 3));

    // "Help"
    items.push_back(
        onPage(layoutRow(K::Frame, Frame4, "SSTab1", 135, 345, 4545, 1770, 45, "How to make a Marvoscope"), 4));
    items.push_back(
        layoutRow(K::Label, Label16, "Frame4", 120, 255, 4275, 660, 46,
                  "Click the \"File\" tab. Click \"Browse\". Select an image file to use as a screensaver. "
                  "This can be a still or animated image in one of these formats: JPG, GIF, BMP. Click \"OK\"."));
    items.push_back(
        layoutRow(K::Label, Label17, "Frame4", 120, 870, 4230, 840, 47,
                  "If the screensaver is a transparent GIF, you can change the color of the background. Click "
                  "the \"Colors\" tab. Use the color selector to change the background color to your liking. "
                  "Click \"Save settings, Close\" when done."));

    // "Show": the picture's two groups on the left; "Captions and bars..." and the folder's frame
    // on the right. Rows are 14 pixels apart at 96 dpi, the least that shows a box and its caption whole;
    // the left groups are only as wide as their longest caption, so that the line naming what
    // plays keeps two lines' room beside "Folder...".
    items.push_back(onPage(layoutRow(K::Frame, FramePicture, "SSTab1", 105, 345, 2220, 870, 48, "Picture"), 5));
    items.push_back(option(OptStretch, "FramePicture", 195, 2070, 49, "Stretch to the screen"));
    items.push_back(option(OptFit, "FramePicture", 405, 2070, 50, "Whole picture"));
    items.push_back(option(OptFill, "FramePicture", 615, 2070, 51, "Fill the screen"));
    items.push_back(onPage(layoutRow(K::Frame, FrameMonitors, "SSTab1", 105, 1245, 2220, 870, 53, "Monitors"), 5));
    items.push_back(option(OptEach, "FrameMonitors", 195, 2070, 54, "The same on each"));
    items.push_back(option(OptSpan, "FrameMonitors", 405, 2070, 55, "One across them all"));
    items.push_back(option(OptDifferent, "FrameMonitors", 615, 2070, 56, "Different on each"));
    items.push_back(onPage(layoutRow(K::CommandButton, CmdCaptions, "SSTab1", 2355, 405, 2400, 315, 52,
                                     "Captions and bars..."),
                           5));
    items.push_back(
        onPage(layoutRow(K::Frame, FrameSlides, "SSTab1", 2355, 750, 2400, 1365, 57, "A folder of pictures"), 5));
    items.push_back(layoutRow(K::CommandButton, CmdFolder, "FrameSlides", 120, 240, 870, 300, 58, "Folder..."));
    // Designed with the longest line it shows, so both builds size its font for that one.
    items.push_back(layoutRow(K::Label, LabelFolder, "FrameSlides", 1035, 180, 1320, 420, 64, kSinglePictureLine));
    items.push_back(layoutRow(K::Label, LabelInterval, "FrameSlides", 120, 660, 1275, 210, 59, "Seconds each:"));
    LayoutItem interval = layoutRow(K::TextBox, TxtInterval, "FrameSlides", 1395, 615, 645, 285, 60, "10");
    interval.maxLength = 4;
    items.push_back(interval);
    items.push_back(layoutRow(K::CheckBox, ChkShuffle, "FrameSlides", 120, 915, 1035, 210, 61, "Shuffle"));
    items.push_back(layoutRow(K::CheckBox, ChkFade, "FrameSlides", 1200, 915, 1000, 210, 62, "Fade"));
    items.push_back(layoutRow(K::CheckBox, ChkSubfolders, "FrameSlides", 120, 1125, 2100, 210, 63, "Include subfolders"));

    // Below the file's frame, the one free strip of the page.
    LayoutItem failed = onPage(layoutRow(K::Label, LabelSaveFailed, "SSTab1", 60, 1920, 4755, 240, -1), 0);
    failed.flags = kHidden;
    items.push_back(failed);
    return layout;
}

}  // namespace mv
