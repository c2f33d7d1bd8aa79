#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/picture/gif/gif_format.h"
#include "platform/picture/gif/index_cache.h"
#include "platform/picture/picture.h"

namespace mv {

// Where an image's data sub-blocks lie in a file, to be read again whenever the image is
// decoded: a long animation then keeps none of its compressed bytes in memory.
struct DataSpan {
    std::shared_ptr<const std::string> path;  // one for all the frames of a file
    uint64_t offset = 0;
    size_t length = 0;       // the sub-blocks with their length bytes
    size_t joinedSize = 0;   // the data without them
    uint64_t fingerprint = 0;  // of samples of the data, to notice a file changed since
};

// A GIF image held compressed (in memory or in its file); it is decoded when painted (recent
// decodes are cached). It covers the whole logical screen: what the image leaves uncovered,
// and its transparent colour, show the background colour.
class GifPicture final : public Picture {
public:
    explicit GifPicture(gif::GifImage image) : image_(std::move(image)), lzw_(std::move(image_.lzw)) {}
    // The image with its data left in a file: `image`'s own copy of the data is dropped.
    GifPicture(gif::GifImage image, DataSpan span);
    ~GifPicture() override;
    int width() const override { return image_.canvasWidth; }
    int height() const override { return image_.canvasHeight; }
    void stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const override;
    size_t prepare() const override { return indices()->size(); }
    size_t decodedBytes() const override;

    // The image's description; its data is held apart (in memory or in its file).
    const gif::GifImage& image() const { return image_; }
    // The image's palette indices, row by row, width x height; decoded or from the cache.
    gif::Indices indices() const;
    // Bytes this picture keeps for itself, the cache aside.
    size_t storedBytes() const { return sizeof(*this) + lzw_.capacity(); }
    bool dataInFile() const { return span_.path != nullptr; }

    // The same image with its data left in `path`, whose bytes from `offset` are the ones this
    // picture was read from at its data's place (dataBegin); what was decoded stays cached.
    std::shared_ptr<const GifPicture> withDataIn(std::shared_ptr<const std::string> path, uint64_t offset) const;

private:
    std::vector<uint8_t> decode() const;
    size_t decodedRows() const;
    gif::GifImage image_;        // without its data
    std::vector<uint8_t> lzw_;   // the data, when it is not left in a file
    DataSpan span_;
};

// A fingerprint of the joined data: its size and samples spread over it, cheap enough to check
// on every decode.
uint64_t dataFingerprint(const std::vector<uint8_t>& joined);

// Reads the first image of a GIF file, also one that ends without a trailer or without the
// last data sub-block terminator. Throws ErrInvalidPicture for anything it cannot read. Its
// pixels are decoded when first painted (a damaged data stream shows what it holds), so an
// animation shows its first frame without decoding every other one first.
PicturePtr decodeGifPicture(std::vector<uint8_t> bytes);

}  // namespace mv
