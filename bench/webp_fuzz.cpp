// libFuzzer target for WebP: the backend's still decoder, whole and reduced, and an animation's
// frames, each decoded (within the budget) and held to the rectangle its file gives it.
#include "photo_fuzz.h"
#include "platform/picture/picture_kind.h"
#include "platform/qt/qt_webp_decoder.h"
#include "platform/qt/qt_webp_frames.h"

namespace {

constexpr int kFramesDecoded = 16;

void playFrames(const std::vector<uint8_t>& bytes) {
    try {
        const mv::FrameSourcePtr source = mv::qt::openWebpFrames(bytes);
        if (!source) return;
        const int64_t w = source->canvasWidth(), h = source->canvasHeight();
        if (w <= 0 || h <= 0 || w > mv::kMaxPictureSide || h > mv::kMaxPictureSide || w * h > mv::kMaxPicturePixels ||
            source->frames().empty())
            __builtin_trap();
        if (w * h > mv::fuzz::kFuzzPixels) return;
        const auto& frames = source->frames();
        for (int k = 0; k < static_cast<int>(frames.size()) && k < kFramesDecoded; ++k) {
            const mv::FrameInfo& f = frames[static_cast<size_t>(k)];
            if (f.x < 0 || f.y < 0 || f.x + f.width > w || f.y + f.height > h) __builtin_trap();
            try {
                const mv::Bitmap frame = source->decodeFrame(k);
                if (frame.width != f.width || frame.height != f.height) __builtin_trap();
            } catch (const mv::PlatformError& e) {
                if (e.number() != mv::ErrInvalidPicture) __builtin_trap();
            }
        }
    } catch (const mv::PlatformError& e) {
        if (e.number() != mv::ErrInvalidPicture) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    (void)mv::PictureKindOf(data, size);
    mv::fuzz::decodeBounded(mv::qt::decodeWebp, bytes);
    playFrames(bytes);
    return 0;
}
