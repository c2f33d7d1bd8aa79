#include "platform/picture/load_picture.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/files/files.h"
#include "platform/picture/exif_orientation.h"
#include "platform/picture/gif/gif_picture.h"
#include "platform/picture/png_decoder.h"
#include "platform/platform.h"

namespace mv {

namespace {

// What the platform decoded, made the same on every platform: a photo turned the way its Exif
// data says, and only a PNG keeping its transparency (many 32-bit BMPs carry a fourth byte
// that means nothing).
PicturePtr finishStill(PicturePtr decoded, const std::vector<uint8_t>& bytes, int orientation) {
    const auto* still = dynamic_cast<const RgbPicture*>(decoded.get());
    if (!still) return decoded;
    const bool flatten = !isPngFile(bytes) && !still->opaque();
    if (orientation == 1 && !flatten) return decoded;
    Bitmap pixels = orientedPixels(still->pixels(), orientation);
    if (flatten)
        for (uint32_t& p : pixels.pixels) p |= 0xFF000000u;
    return std::make_shared<RgbPicture>(std::move(pixels), still->damaged());
}

PicturePtr decodeStillBytes(Platform& platform, const std::vector<uint8_t>& bytes, const ShownAreas& shown) {
    const int orientation = exifOrientation(bytes);
    // PNG is read the same way on every platform, a row at a time: the platforms' own readers
    // hold a 16-bit picture whole at 8 bytes a pixel and more.
    if (isPngFile(bytes)) return finishStill(decodePng(bytes), bytes, orientation);
    if (shown.areas.empty()) return finishStill(platform.decodeStill(bytes), bytes, orientation);
    // A photo turned a quarter is shown with its stored width upright.
    const bool turned = orientation >= 5 && orientation <= 8;
    const DecodeFloor floor = [&](int width, int height) {
        if (!turned) return ShownSize(width, height, shown);
        const PixelSize upright = ShownSize(height, width, shown);
        return PixelSize{upright.height, upright.width};
    };
    return finishStill(platform.decodeStillAtLeast(bytes, floor), bytes, orientation);
}

}  // namespace

PicturePtr LoadPicture(Platform& platform, const std::string& path, const ShownAreas& shown, DamagedPicture damaged) {
    auto& table = files::fileTable();
    const int n = table.freeFile();
    table.open(n, path, files::Mode::ReadOnly);
    std::vector<uint8_t> bytes;
    try {
        if (table.length(n) > kMaxPictureFileBytes) throw PlatformError(ErrInvalidPicture, "Invalid picture");
        bytes = table.readAll(n);
    } catch (...) {
        table.close(n);
        throw;
    }
    table.close(n);
    if (bytes.size() >= 4 && bytes[0] == 'G' && bytes[1] == 'I' && bytes[2] == 'F' && bytes[3] == '8')
        return decodeGifPicture(std::move(bytes));
    PicturePtr picture = decodeStillBytes(platform, bytes, shown);
    const auto* still = dynamic_cast<const RgbPicture*>(picture.get());
    if (still && still->damaged()) {
        if (damaged == DamagedPicture::Refuse) throw PlatformError(ErrInputPastEnd, "its data ends early or is corrupt");
        platform.report("Marvoscope: " + path + ": its data ends early or is corrupt; showing what could be read");
    }
    return picture;
}

}  // namespace mv
