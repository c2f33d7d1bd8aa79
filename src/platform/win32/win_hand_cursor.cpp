#include "platform/win32/win_hand_cursor.h"

#include <vector>

#include "platform/ui/hand_cursor.h"

namespace mv::win32 {

HCURSOR makeHandCursor() {
    const CursorPicture& picture = handCursor();
    const Bitmap& image = picture.image;
    if (image.empty()) return nullptr;
    // Monochrome AND mask: rows padded to 16 bits, a set bit lets the screen show through.
    const int maskStride = ((image.width + 15) / 16) * 2;
    std::vector<BYTE> mask(static_cast<size_t>(maskStride) * image.height, 0);
    std::vector<uint32_t> colour(image.pixels.size(), 0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.row(y)[x];
            if ((p >> 24) < 0x80)
                mask[static_cast<size_t>(y) * maskStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            else
                colour[static_cast<size_t>(y) * image.width + x] = p & 0x00FFFFFFu;
        }
    }
    ICONINFO info{};
    info.fIcon = FALSE;
    info.xHotspot = static_cast<DWORD>(picture.hotX);
    info.yHotspot = static_cast<DWORD>(picture.hotY);
    info.hbmMask = CreateBitmap(image.width, image.height, 1, 1, mask.data());
    info.hbmColor = CreateBitmap(image.width, image.height, 1, 32, colour.data());
    HCURSOR cursor = info.hbmMask && info.hbmColor ? CreateIconIndirect(&info) : nullptr;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return cursor;
}

}  // namespace mv::win32
