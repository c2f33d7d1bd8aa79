#include "platform/qt/qt_colors.h"

#include "platform/ui/layout.h"

namespace mv::qt {

namespace {

QPalette::ColorRole systemRole(int index, QPalette::ColorRole fallback) {
    switch (index) {
        case 5: return QPalette::Base;          // window background
        case 8: return QPalette::WindowText;    // window text
        case 13: return QPalette::Highlight;
        case 14: return QPalette::HighlightedText;
        case kSysButtonFace: return QPalette::Button;
        case 16: return QPalette::Dark;         // button shadow
        case kSysButtonText: return QPalette::ButtonText;
        case 20: return QPalette::Light;        // button highlight
        default: return fallback;
    }
}

}  // namespace

QColor toQColor(int32_t color, const QPalette& palette, QPalette::ColorRole fallback) {
    if (color == kDefaultColor) return palette.color(fallback);
    if (isSystemColor(color)) return palette.color(systemRole(systemColorIndex(color), fallback));
    const auto c = static_cast<uint32_t>(color);
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace mv::qt
