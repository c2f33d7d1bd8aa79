#include "platform/qt/qt_webp_frames.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <memory>

#include "platform/qt/qt_size_guard.h"
#include "platform/qt/qt_webp_decoder.h"

namespace mv::qt {

namespace {

struct FreeDemuxer {
    void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};

class WebpFrames final : public FrameSource {
public:
    // The demuxer points into bytes_, which never move once here.
    explicit WebpFrames(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
        const WebPData data{bytes_.data(), bytes_.size()};
        demux_.reset(WebPDemux(&data));
        if (!demux_) throw invalidPicture();
        width_ = static_cast<int64_t>(WebPDemuxGetI(demux_.get(), WEBP_FF_CANVAS_WIDTH));
        height_ = static_cast<int64_t>(WebPDemuxGetI(demux_.get(), WEBP_FF_CANVAS_HEIGHT));
        refuseBeyondGuard(width_, height_);
        loops_ = static_cast<int>(WebPDemuxGetI(demux_.get(), WEBP_FF_LOOP_COUNT));
        WebPIterator it;
        if (!WebPDemuxGetFrame(demux_.get(), 1, &it)) throw invalidPicture();
        do {
            FrameInfo f;
            f.x = it.x_offset;
            f.y = it.y_offset;
            f.width = it.width;
            f.height = it.height;
            f.delayMs = it.duration;
            f.dispose = it.dispose_method == WEBP_MUX_DISPOSE_BACKGROUND ? FrameDispose::Clear : FrameDispose::Keep;
            f.blend = it.blend_method == WEBP_MUX_BLEND;
            if (f.width <= 0 || f.height <= 0 || f.x < 0 || f.y < 0 || f.x + int64_t{f.width} > width_ ||
                f.y + int64_t{f.height} > height_) {
                WebPDemuxReleaseIterator(&it);
                throw invalidPicture();
            }
            frames_.push_back(f);
        } while (WebPDemuxNextFrame(&it));
        WebPDemuxReleaseIterator(&it);
    }

    int canvasWidth() const override { return static_cast<int>(width_); }
    int canvasHeight() const override { return static_cast<int>(height_); }
    int loopCount() const override { return loops_; }
    const std::vector<FrameInfo>& frames() const override { return frames_; }

    Bitmap decodeFrame(int k) const override {
        if (k < 0 || k >= static_cast<int>(frames_.size())) throw invalidPicture();
        WebPIterator it;
        if (!WebPDemuxGetFrame(demux_.get(), k + 1, &it)) throw invalidPicture();
        const uint8_t* fragment = it.fragment.bytes;
        const size_t size = it.fragment.size;
        WebPDemuxReleaseIterator(&it);
        const FrameInfo& f = frames_[static_cast<size_t>(k)];
        // A fragment coded at another size than its rectangle is damage, not a picture to scale.
        WebPBitstreamFeatures features;
        if (WebPGetFeatures(fragment, size, &features) != VP8_STATUS_OK || features.width != f.width ||
            features.height != f.height)
            throw invalidPicture();
        return decodeWebpPixels(fragment, size, f.width, f.height);
    }

private:
    std::vector<uint8_t> bytes_;
    std::unique_ptr<WebPDemuxer, FreeDemuxer> demux_;
    int64_t width_ = 0, height_ = 0;
    int loops_ = 0;
    std::vector<FrameInfo> frames_;
};

}  // namespace

bool isAnimatedWebp(const std::vector<uint8_t>& bytes) {
    // RIFF header, then the VP8X chunk first, its flags byte right after the chunk header.
    constexpr uint8_t kAnimationFlag = 0x02;
    return bytes.size() >= 21 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
           std::memcmp(bytes.data() + 8, "WEBPVP8X", 8) == 0 && (bytes[20] & kAnimationFlag) != 0;
}

FrameSourcePtr openWebpFrames(std::vector<uint8_t> bytes) {
    if (!isAnimatedWebp(bytes)) return nullptr;
    return std::make_shared<WebpFrames>(std::move(bytes));
}

}  // namespace mv::qt
