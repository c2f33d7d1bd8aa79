#pragma once
// The program's icon, shared by every window: one file with a 32 x 32 and a 16 x 16 image.
#include <cstdint>
#include <vector>

#include "platform/picture/bitmap.h"

namespace mv {

// The bytes of assets/marvoscope.ico, built into the program.
const std::vector<uint8_t>& appIconFile();

// The images of an icon file, largest first; alpha 0 where the icon is transparent.
// Damaged or unsupported images are left out; a damaged file gives none.
std::vector<Bitmap> decodeIcon(const std::vector<uint8_t>& bytes);

}  // namespace mv
