#include "anim/frame_store.h"

#include <algorithm>

#include "anim/scratch_file.h"
#include "platform/error.h"
#include "platform/picture/gif/composed_picture.h"
#include "platform/picture/gif/gif_picture.h"
#include "platform/picture/load_picture.h"
#include "settings/number_text.h"

namespace mv::anim {

FrameStore::FrameStore(Platform& platform, const SourceBytes& bytes, ControlArray<PictureBox>& frames, size_t prefixLength,
                       std::string sourcePath)
    : platform_(platform),
      bytes_(bytes),
      frames_(frames),
      prefix_(bytes.copy(0, std::min(prefixLength, bytes.size()))),
      sourcePath_(sourcePath.empty() ? nullptr : std::make_shared<const std::string>(std::move(sourcePath))) {}

namespace {

// The frame's picture with its compressed data left in the source file, where the frame file
// has it from: in the header prefix (the source's first bytes) or in the chunk.
PicturePtr leftInSource(PicturePtr picture, const std::shared_ptr<const std::string>& source, size_t prefixLength,
                        const Chunk& chunk) {
    auto gif = std::dynamic_pointer_cast<const GifPicture>(picture);
    if (!gif || !source) return picture;
    const auto& img = gif->image();
    if (img.dataEnd <= img.dataBegin) return picture;
    // Frame 0's file is the source's first bytes; any other's data lies wholly in one part.
    if (chunk.from == prefixLength || img.dataEnd <= prefixLength) return gif->withDataIn(source, img.dataBegin);
    if (img.dataBegin >= prefixLength) return gif->withDataIn(source, chunk.from + (img.dataBegin - prefixLength));
    return picture;
}

}  // namespace

void FrameStore::store(int k, const Chunk& chunk) {
    // A frame file the picture loader would refuse unread is not written at all.
    if (static_cast<int64_t>(prefix_.size() + (chunk.to - chunk.from)) > kMaxPictureFileBytes)
        throw PlatformError(ErrInvalidPicture, "Frame too large");
    files::HeldFile scratch;  // deleted on every way out of this frame
    writeScratchGif(platform_, scratch, [&](files::HeldFile& file) {
        file.writeAt(0, prefix_.data(), prefix_.size());
        int64_t at = static_cast<int64_t>(prefix_.size());
        bytes_.forEach(chunk.from, chunk.to, [&](const uint8_t* p, size_t count) {
            file.writeAt(at, p, count);
            at += static_cast<int64_t>(count);
        });
    });
    const long delay = chunkDelayMs(bytes_, chunk.from, chunk.to, k);
    if (k >= 1) frames_.Load(k);
    frames_(k).Tag = IntText(delay);
    composed_ = composeGifFrame(composed_, leftInSource(LoadPicture(platform_, scratch.path()), sourcePath_,
                                                        prefix_.size(), chunk));
    frames_(k).setPicture(composed_);
}

bool FrameStore::storeAll(FrameRanges& ranges, const std::function<bool()>& going) {
    for (int frame = 1;; ++frame) {
        const auto chunk = ranges.next(going);
        if (ranges.stopped()) return false;
        if (chunk) store(frame - 1, *chunk);
        if (!going()) return false;
        if (!chunk) {
            if (const auto last = ranges.last()) store(frame - 1, *last);
            return true;
        }
    }
}

}  // namespace mv::anim
