#pragma once
#include <optional>
#include <string>

#include "platform/picture/frames/composed_frames.h"
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

// A picture file as it shows: a still, or the frames of an APNG or animated WebP.
struct LoadedPicture {
    PicturePtr still;                         // null for an animation
    std::optional<ComposedFrames> animation;  // its frames, composed as they are painted
};
// LoadPicture, but an animation other than a GIF comes back as its frames (an APNG's frames
// rather than its default image). Throws as LoadPicture.
LoadedPicture LoadPictureOrFrames(Platform& platform, const std::string& path, const ShownAreas& shown = {},
                                  DamagedPicture damaged = DamagedPicture::ShowWhatDecodes);

// Whether the file's first bytes say it is a picture of a kind some build reads (BMP, JPEG,
// GIF, PNG, TIFF, HEIF/HEIC, AVIF, JPEG XL, WebP), whatever its name.
bool LooksLikePicture(const uint8_t* bytes, size_t size);

}  // namespace mv
