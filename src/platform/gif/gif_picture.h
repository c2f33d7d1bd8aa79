#pragma once
#include <cstdint>
#include <vector>

#include "../picture.h"
#include "gif_format.h"
#include "index_cache.h"

namespace mv {

// A GIF image held compressed; it is decoded when painted (recent decodes are cached), so a
// long animation costs about its file size. It covers the whole logical screen: what the
// image leaves uncovered, and its transparent colour, show the background colour.
class GifPicture final : public Picture {
public:
    explicit GifPicture(gif::GifImage image) : image_(std::move(image)) {}
    ~GifPicture() override;
    int width() const override { return image_.canvasWidth; }
    int height() const override { return image_.canvasHeight; }
    void stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const override;

    const gif::GifImage& image() const { return image_; }
    // The image's palette indices, row by row, width x height; decoded or from the cache.
    gif::Indices indices() const;
    // Bytes this picture keeps for itself, the cache aside.
    size_t storedBytes() const { return sizeof(*this) + image_.lzw.capacity(); }

private:
    std::vector<uint8_t> decode() const;
    gif::GifImage image_;
};

// Decodes the first image of a GIF file, also one that ends without a trailer or without the
// last data sub-block terminator. Throws ErrInvalidPicture for anything it cannot read.
PicturePtr decodeGifPicture(std::vector<uint8_t> bytes);

}  // namespace mv
