#pragma once
// A decoded picture, immutable and shared between the controls that hold it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/picture/bitmap.h"

namespace mv {

// Pictures larger than this are refused before decoding, like unreadable ones: a header
// that asks for 60000 x 60000 pixels must not turn into a multi-gigabyte allocation.
constexpr int64_t kMaxPicturePixels = 128LL * 1024 * 1024;
constexpr int kMaxPictureSide = 32767;

class Picture {
public:
    virtual ~Picture() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Draws the picture over a solid background colour (0x00BBGGRR) stretched into the
    // rectangle (x, y, w, h) of dst, clipped to dst. Width and height scale independently.
    virtual void stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const = 0;
    // Does ahead of time, on any thread, the work its first paint would start with (decoding);
    // returns the bytes that work keeps cached.
    virtual size_t prepare() const { return 0; }
    // Bytes the decoded form of the picture takes while it is kept for its paints (what
    // prepare() would keep, and any picture composed for it), known without decoding.
    virtual size_t decodedBytes() const { return 0; }
};
using PicturePtr = std::shared_ptr<const Picture>;

// A still picture held as 32-bit pixels; alpha below 0xFF lets the background colour through.
class RgbPicture final : public Picture {
public:
    // `damaged`: the decoder found the file's data ending early or corrupt, and these pixels
    // are what it could make of it.
    explicit RgbPicture(Bitmap pixels, bool damaged = false);
    int width() const override { return pixels_.width; }
    int height() const override { return pixels_.height; }
    const Bitmap& pixels() const { return pixels_; }
    // Every pixel fully covers what lies beneath.
    bool opaque() const { return opaque_; }
    bool damaged() const { return damaged_; }
    void stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const override;

private:
    Bitmap pixels_;
    bool opaque_ = true;
    bool damaged_ = false;
};

}  // namespace mv
