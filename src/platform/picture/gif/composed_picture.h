#pragma once
// The frames of an animated GIF as a viewer shows them: each frame drawn over what the frames
// before it left on the logical screen, after the previous frame's disposal.
#include <memory>

#include "platform/picture/gif/gif_picture.h"

namespace mv {

class ComposedGifPicture final : public Picture {
public:
    // `frame` drawn over `under`'s canvas (an empty canvas when under is null), with under's own
    // rectangle cleared first when `clearUnder`.
    ComposedGifPicture(std::shared_ptr<const GifPicture> frame, std::shared_ptr<const ComposedGifPicture> under,
                       bool clearUnder);
    ~ComposedGifPicture() override;

    int width() const override { return frame_->width(); }
    int height() const override { return frame_->height(); }
    void stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const override;
    // The frame's own decoding; the composed canvas is made on the painting thread.
    size_t prepare() const override { return frame_->prepare(); }
    size_t decodedBytes() const override;

    // The logical screen after this frame: 0xFFRRGGBB per pixel, 0 where it is transparent.
    gif::Buffer<uint32_t> canvas() const;
    const GifPicture& frame() const { return *frame_; }
    // True when nothing beneath the frame shows, so it paints as it stands.
    bool standalone() const { return standalone_; }

private:
    friend PicturePtr composeGifFrame(const PicturePtr&, const PicturePtr&);
    std::shared_ptr<std::vector<uint32_t>> compose() const;

    std::shared_ptr<const GifPicture> frame_;
    // What lies beneath the frame. Kept for a standalone frame only when the next frame needs it
    // (this frame's disposal restores what was beneath it).
    mutable std::shared_ptr<const ComposedGifPicture> under_;
    bool clearUnder_;
    bool standalone_;
};

// The picture of frame k of an animation: `frame` (frame k's own picture) composed over what
// `previous` (the composed picture of frame k - 1, null for frame 0) leaves after its disposal.
// A picture that is not a GIF image is returned as it is, and starts the composition afresh.
PicturePtr composeGifFrame(const PicturePtr& previous, const PicturePtr& frame);

// Lets go of every decoded frame and composed canvas kept for later, to make room when memory
// runs out; each is made again when it is next asked for. No other thread may be decoding.
void dropDecodedGifFrames();

// Whether composed canvases are cached (a loop whose canvases fit the cache) or only the last
// ones kept, each next frame drawn over the last canvas in place (a longer loop).
void cacheComposedCanvases(bool cached);

}  // namespace mv
