#include "platform/ui/dialog_geometry.h"

#include <algorithm>

#include "platform/ui/text_wrap.h"

namespace mv::dialog {

PixelRect rectOf(const LayoutItem& item, const Units& units) {
    const int left = units.pixelsX(item.left), top = units.pixelsY(item.top);
    return {left, top, units.pixelsX(item.left + item.width) - left, units.pixelsY(item.top + item.height) - top};
}

bool isWindowless(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::Shape || kind == ControlKind::Line;
}

std::vector<size_t> tabOrder(const Layout& layout) {
    std::vector<size_t> order;
    for (size_t i = 0; i < layout.items.size(); ++i)
        if (layout.items[i].tabIndex >= 0) order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return layout.items[a].tabIndex < layout.items[b].tabIndex; });
    return order;
}

double fittingPointSize(const std::wstring& caption, double designed, int width, int height, bool wrap,
                        const TextMeasure& measure) {
    constexpr double kFloor = 6.0, kStep = 0.25;
    double size = designed;
    for (;;) {
        const auto widthAt = [&](const std::wstring& s) { return measure.width(s, size); };
        const int line = measure.lineHeight(size);
        const bool fits = wrap ? wrappedTextFits(caption, width, height, line, widthAt)
                               : widthAt(caption) <= width && line <= height;
        if (fits || size - kStep < kFloor) return size;
        size -= kStep;
    }
}

}  // namespace mv::dialog
