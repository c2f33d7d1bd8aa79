// The design of the "Captions and bars" dialog, in twips: rows 14 pixels apart at 96 dpi, as on
// the "Show" tab.
#include <string>

#include "setup/frmCaptions.h"

namespace mv {

namespace {

LayoutItem box(CheckBox& box, const std::string& container, long left, long top, long width, int tabIndex,
               const std::string& caption, unsigned flags = 0) {
    LayoutItem i = layoutRow(ControlKind::CheckBox, box, container, left, top, width, 210, tabIndex, caption);
    i.flags = flags;
    return i;
}

}  // namespace

std::unique_ptr<Layout> frmCaptions::makeLayout() {
    auto layout = std::make_unique<Layout>();
    layout->clientWidth = 4200;
    layout->clientHeight = 2880;
    layout->backColor = static_cast<int32_t>(0x8000000F);
    layout->modal = true;
    auto& items = layout->items;
    using K = ControlKind;

    items.push_back(layoutRow(K::Frame, FrameWritten, "", 120, 60, 3960, 930, 0, "Written over the pictures"));
    items.push_back(box(ChkDate, "FrameWritten", 120, 240, 1800, 1, "Date taken"));
    items.push_back(box(ChkPlace, "FrameWritten", 2040, 240, 1800, 2, "Place"));
    items.push_back(box(ChkFolder, "FrameWritten", 120, 450, 1800, 3, "Folder"));
    items.push_back(box(ChkName, "FrameWritten", 2040, 450, 1800, 4, "File name"));
    items.push_back(box(ChkClock, "FrameWritten", 120, 660, 3720, 5, "Clock"));

    items.push_back(layoutRow(K::Frame, FrameWhole, "", 120, 1050, 3960, 720, 6, "Whole picture"));
    items.push_back(box(OptColorBars, "FrameWhole", 120, 240, 3720, 7, "On the \"Colors\" tab's color", kOptionButton));
    items.push_back(box(OptBlurBars, "FrameWhole", 120, 450, 3720, 8, "On a blurred copy of itself", kOptionButton));

    items.push_back(layoutRow(K::Frame, FrameMotion, "", 120, 1830, 3960, 510, 9, "Still pictures"));
    items.push_back(box(ChkMotion, "FrameMotion", 120, 240, 3720, 10, "Slow pan and zoom"));

    items.push_back(layoutRow(K::CommandButton, CmdOK, "", 1545, 2460, 1215, 315, 11, "OK"));
    items.push_back(layoutRow(K::CommandButton, CmdCancel, "", 2865, 2460, 1215, 315, 12, "Cancel"));
    return layout;
}

}  // namespace mv
