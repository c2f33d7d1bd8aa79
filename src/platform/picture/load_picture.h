#pragma once
#include <string>

#include "platform/picture/picture.h"
#include "platform/picture/placement.h"

namespace mv {

class Platform;

// No picture we accept needs a larger file (32-bit pixels plus headers); reading a larger one
// whole would only cost memory before the decoder refuses it.
constexpr int64_t kMaxPictureFileBytes = kMaxPicturePixels * 4 + 1024 * 1024;
// A still picture file must be larger than this to be shown.
constexpr int64_t kMinStillBytes = 101;

// What becomes of a picture whose decoder found its data ending early or corrupt: a picture
// the user chose is shown as far as it decodes, as picture viewers do; a slideshow passes over
// it like an unreadable file.
enum class DamagedPicture { ShowWhatDecodes, Refuse };

// Loads a picture file: GIFs (by content, whatever the name) through the portable GIF reader,
// which decodes the first image; PNGs through the portable PNG reader; anything else through
// the platform's still decoder. Given where the picture is about to be shown, a photo much
// larger than that may come back decoded smaller, never smaller than it is shown there (as
// turned by its Exif orientation); with no areas it is decoded whole.
// A damaged picture is either shown, with one line naming the file on the platform's report, or
// refused with ErrInputPastEnd.
// Throws ErrFileNotFound for a missing file and ErrInvalidPicture for an unreadable one.
PicturePtr LoadPicture(Platform& platform, const std::string& path, const ShownAreas& shown = {},
                       DamagedPicture damaged = DamagedPicture::ShowWhatDecodes);

}  // namespace mv
