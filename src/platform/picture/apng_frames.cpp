#include "platform/picture/apng_frames.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/error.h"
#include "platform/picture/inflate.h"
#include "platform/picture/png_decoder.h"

namespace mv {

namespace {

uint32_t bigEndian32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}
uint32_t bigEndian16(const uint8_t* p) { return uint32_t{p[0]} << 8 | p[1]; }

class ApngFrames final : public FrameSource {
public:
    ApngFrames(std::shared_ptr<const std::vector<uint8_t>> bytes, const PngFormat& format, int loops,
               std::vector<FrameInfo> frames, std::vector<Inflater::Pieces> data)
        : bytes_(std::move(bytes)), format_(format), loops_(loops), frames_(std::move(frames)), data_(std::move(data)) {}
    int canvasWidth() const override { return format_.width; }
    int canvasHeight() const override { return format_.height; }
    int loopCount() const override { return loops_; }
    const std::vector<FrameInfo>& frames() const override { return frames_; }
    Bitmap decodeFrame(int k) const override {
        if (k < 0 || static_cast<size_t>(k) >= frames_.size()) throw PlatformError(ErrInvalidPicture, "Invalid picture");
        return decodePngImage(format_, frames_[k].width, frames_[k].height, data_[k]);
    }

private:
    std::shared_ptr<const std::vector<uint8_t>> bytes_;  // what data_ points into
    PngFormat format_;
    int loops_;
    std::vector<FrameInfo> frames_;
    std::vector<Inflater::Pieces> data_;  // each frame's zlib stream
};

// Reads the animation chunks as the chunk walk hands them over, listing each frame once the
// chunk after its data shows that data whole.
class FrameList {
public:
    void chunk(const PngChunk& c, const PngFormat& format) {
        format_ = &format;
        if (c.is("IDAT")) {
            seenImage_ = true;
            if (c.length > 0) image_.emplace_back(c.data, c.length);
        } else if (stopped_) {
            return;
        } else if (c.is("acTL")) {
            // One that comes after the image data is too late to make the file an animation.
            if (seenImage_ || animated_ || c.length < 8) return;
            animated_ = true;
            declared_ = bigEndian32(c.data);
            loops_ = static_cast<int>(std::min<uint32_t>(bigEndian32(c.data + 4), INT_MAX));
        } else if (!animated_) {
            return;
        } else if (c.is("fcTL")) {
            if (!finishFrame() || frames.size() >= declared_) return stop();
            control(c);
        } else if (c.is("fdAT")) {
            if (c.length < 4 || !sequenced(c.data) || !pending_ || pendingIsImage_) return stop();
            if (c.length > 4) pendingData_.emplace_back(c.data + 4, c.length - 4);
        } else if (c.is("IEND")) {
            if (!finishFrame()) stop();
        }
    }

    bool animated() const { return animated_ && !image_.empty(); }
    int loops() const { return loops_; }
    std::vector<FrameInfo> frames;
    std::vector<Inflater::Pieces> data;

private:
    void stop() { stopped_ = true; }

    bool sequenced(const uint8_t* d) { return bigEndian32(d) == sequence_++; }

    void control(const PngChunk& c) {
        if (c.length < 26 || !sequenced(c.data)) return stop();
        const uint8_t* d = c.data;
        const uint64_t w = bigEndian32(d + 4), h = bigEndian32(d + 8), x = bigEndian32(d + 12), y = bigEndian32(d + 16);
        const uint32_t delayNum = bigEndian16(d + 20), delayDen = bigEndian16(d + 22);
        const uint8_t dispose = d[24], blend = d[25];
        if (w == 0 || h == 0 || x + w > uint64_t(format_->width) || y + h > uint64_t(format_->height) || dispose > 2 ||
            blend > 1)
            return stop();
        // A frame given before the image data is that image, which fills the canvas.
        pendingIsImage_ = !seenImage_;
        if (pendingIsImage_ && (x != 0 || y != 0 || w != uint64_t(format_->width) || h != uint64_t(format_->height)))
            return stop();
        FrameInfo& f = pendingInfo_;
        f.x = static_cast<int>(x);
        f.y = static_cast<int>(y);
        f.width = static_cast<int>(w);
        f.height = static_cast<int>(h);
        const uint32_t den = delayDen == 0 ? 100 : delayDen;
        f.delayMs = static_cast<long>((delayNum * 1000u + den / 2) / den);
        // The first frame has nothing before it to give back: it is cleared instead.
        f.dispose = dispose == 0 ? FrameDispose::Keep
                    : dispose == 1 || frames.empty() ? FrameDispose::Clear
                                                     : FrameDispose::Restore;
        f.blend = blend == 1;
        pending_ = true;
        pendingData_.clear();
    }

    // Lists the frame being read, if any; false when its data is missing or more than it could
    // decompress to.
    bool finishFrame() {
        if (!pending_) return true;
        pending_ = false;
        Inflater::Pieces& stream = pendingIsImage_ ? image_ : pendingData_;
        uint64_t compressed = 0;
        for (const auto& piece : stream) compressed += piece.second;
        if (stream.empty() || !pngImageFits(*format_, pendingInfo_.width, pendingInfo_.height, compressed)) return false;
        frames.push_back(pendingInfo_);
        data.push_back(pendingIsImage_ ? stream : std::move(stream));
        return true;
    }

    const PngFormat* format_ = nullptr;  // as read so far, its header whole
    bool stopped_ = false, seenImage_ = false, animated_ = false;
    uint32_t declared_ = 0, sequence_ = 0;
    int loops_ = 0;
    Inflater::Pieces image_;  // the IDAT chunks
    bool pending_ = false, pendingIsImage_ = false;
    FrameInfo pendingInfo_;
    Inflater::Pieces pendingData_;
};

}  // namespace

FrameSourcePtr openApng(std::shared_ptr<const std::vector<uint8_t>> bytes) {
    if (!bytes) return nullptr;
    PngFormat format;
    FrameList list;
    try {
        format = readPngChunks(*bytes, [&](const PngChunk& c, const PngFormat& soFar) { list.chunk(c, soFar); });
    } catch (const PlatformError&) {
        return nullptr;
    }
    if (!list.animated() || list.frames.empty() || (format.colorType == 3 && format.paletteSize == 0)) return nullptr;
    return std::make_shared<ApngFrames>(std::move(bytes), format, list.loops(), std::move(list.frames),
                                        std::move(list.data));
}

}  // namespace mv
