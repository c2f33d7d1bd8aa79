#pragma once
#include <QColor>
#include <QPalette>
#include <cstdint>

namespace mv::qt {

// A design colour (0x00BBGGRR, or system colour 0x800000nn) as a Qt colour; the kind's own
// palette colour `fallback` for kDefaultColor.
QColor toQColor(int32_t color, const QPalette& palette, QPalette::ColorRole fallback);

}  // namespace mv::qt
