#pragma once
// What both backends need to know to lay a dialog out from its design table, decided once:
// where a row lies in pixels, the keyboard order, which controls have no window of their own,
// and how far a caption's font shrinks to show whole.
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/layout.h"
#include "platform/ui/units.h"

namespace mv::dialog {

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// A row's rectangle in pixels from its container's corner. Its edges round on their own, not its
// size, so controls that touch in the design touch on the screen.
PixelRect rectOf(const LayoutItem& item, const Units& units);

// Labels, shapes and lines paint on their container, beneath every control of it that has a
// window, whatever the order of creation.
bool isWindowless(ControlKind kind);

// The rows that take the focus (tabIndex >= 0), in keyboard order: by tab index, and in design
// order where two share one.
std::vector<size_t> tabOrder(const Layout& layout);

// How a backend measures text in its dialog font at a point size, in device pixels.
struct TextMeasure {
    std::function<int(const std::wstring& text, double pointSize)> width;
    std::function<int(double pointSize)> lineHeight;
};

// The captions were designed for the classic dialog font; a wider stand-in would clip them.
// The largest size from `designed` down to 6 points (in quarter points) at which the caption
// shows whole in width x height pixels, wrapped at blanks when `wrap`; 6 (or `designed`, when
// smaller) when none does.
double fittingPointSize(const std::wstring& caption, double designed, int width, int height, bool wrap,
                        const TextMeasure& measure);

}  // namespace mv::dialog
