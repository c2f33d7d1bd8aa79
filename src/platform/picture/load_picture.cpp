#include "platform/picture/load_picture.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/files/files.h"
#include "platform/picture/apng_frames.h"
#include "platform/picture/exif_orientation.h"
#include "platform/picture/gif/gif_picture.h"
#include "platform/picture/picture_kind.h"
#include "platform/picture/png_decoder.h"
#include "platform/platform.h"

namespace mv {

namespace {

// What the platform decoded, made the same on every platform: a photo turned the way its Exif
// data says, and a BMP made opaque (many 32-bit BMPs carry a fourth byte that means nothing).
PicturePtr finishStill(PicturePtr decoded, const std::vector<uint8_t>& bytes, int orientation) {
    const auto* still = dynamic_cast<const RgbPicture*>(decoded.get());
    if (!still) return decoded;
    const bool flatten = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M' && !still->opaque();
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

namespace {

std::vector<uint8_t> readPictureFile(const std::string& path) {
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
    return bytes;
}

bool isGif(const std::vector<uint8_t>& b) {
    return b.size() >= 4 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8';
}


// The frames the platform's libraries read, for a file that may hold them.
FrameSourcePtr platformFrames(Platform& platform, const std::vector<uint8_t>& bytes) {
    return PictureKindOf(bytes.data(), bytes.size()) == PictureKind::WebP ? platform.openFrames(bytes) : nullptr;
}

PicturePtr decodeStillChecked(Platform& platform, const std::vector<uint8_t>& bytes, const std::string& path,
                              const ShownAreas& shown, DamagedPicture damaged) {
    PicturePtr picture = decodeStillBytes(platform, bytes, shown);
    const auto* still = dynamic_cast<const RgbPicture*>(picture.get());
    if (still && still->damaged()) {
        if (damaged == DamagedPicture::Refuse) throw PlatformError(ErrInputPastEnd, "its data ends early or is corrupt");
        platform.report("Marvoscope: " + path + ": its data ends early or is corrupt; showing what could be read");
    }
    return picture;
}

}  // namespace

PicturePtr LoadPicture(Platform& platform, const std::string& path, const ShownAreas& shown, DamagedPicture damaged) {
    std::vector<uint8_t> bytes = readPictureFile(path);
    if (isGif(bytes)) return decodeGifPicture(std::move(bytes));
    // An animation the platform's still decoder may not read shows its first frame.
    if (FrameSourcePtr frames = platformFrames(platform, bytes)) return FirstFrameStill(*frames);
    return decodeStillChecked(platform, bytes, path, shown, damaged);
}

LoadedPicture LoadPictureOrFrames(Platform& platform, const std::string& path, const ShownAreas& shown,
                                  DamagedPicture damaged) {
    std::vector<uint8_t> bytes = readPictureFile(path);
    if (isGif(bytes)) return {decodeGifPicture(std::move(bytes)), std::nullopt};
    if (isPngFile(bytes)) {
        // The frames keep the file's bytes; a PNG that is no animation is decoded from the same.
        auto shared = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
        if (FrameSourcePtr frames = openApng(shared)) return {nullptr, ComposeFrames(std::move(frames))};
        return {decodeStillChecked(platform, *shared, path, shown, damaged), std::nullopt};
    }
    if (FrameSourcePtr frames = platformFrames(platform, bytes)) return {nullptr, ComposeFrames(std::move(frames))};
    return {decodeStillChecked(platform, bytes, path, shown, damaged), std::nullopt};
}

bool LooksLikePicture(const uint8_t* bytes, size_t size) { return PictureKindOf(bytes, size) != PictureKind::Other; }

}  // namespace mv
