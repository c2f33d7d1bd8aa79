#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/ui/layout.h"

namespace mv::win32 {

// A design colour as a GDI colour: 0x00BBGGRR is already COLORREF's layout; 0x800000nn names
// system colour nn; kDefaultColor takes the given system colour.
inline COLORREF toColorRef(int32_t color, int defaultSystemColor) {
    if (color == kDefaultColor) return GetSysColor(defaultSystemColor);
    if (isSystemColor(color)) return GetSysColor(systemColorIndex(color));
    return static_cast<COLORREF>(color) & 0x00FFFFFFu;
}

}  // namespace mv::win32
