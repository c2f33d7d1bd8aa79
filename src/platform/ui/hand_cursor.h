#pragma once
// The pointing-hand cursor of the dialogs' web links, as a plain picture both backends turn
// into a native cursor: 32 x 32 pixels, black and white (within 16 colours), hot spot at the
// tip of the index finger.
#include "platform/picture/bitmap.h"

namespace mv {

struct CursorPicture {
    Bitmap image;  // 0xAARRGGBB; alpha 0 where the screen shows through
    int hotX = 0;
    int hotY = 0;
};

const CursorPicture& handCursor();

}  // namespace mv
