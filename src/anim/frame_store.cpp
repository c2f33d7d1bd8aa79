#include "frame_store.h"

#include <algorithm>

#include "../platform/error.h"
#include "../platform/gif/composed_picture.h"
#include "../platform/load_picture.h"
#include "../settings/number_text.h"
#include "scratch_file.h"

namespace mv::anim {

FrameStore::FrameStore(Platform& platform, const SourceBytes& bytes, ControlArray<PictureBox>& frames, size_t prefixLength)
    : platform_(platform), bytes_(bytes), frames_(frames), prefix_(bytes.copy(0, std::min(prefixLength, bytes.size()))) {}

void FrameStore::store(int k, const Chunk& chunk) {
    // A frame file the picture loader would refuse unread is not written at all.
    if (static_cast<int64_t>(prefix_.size() + (chunk.to - chunk.from)) > kMaxPictureFileBytes)
        throw PlatformError(ErrInvalidPicture, "Frame too large");
    files::HeldFile scratch;  // deleted on every way out of this frame
    holdScratchGif(platform_, scratch);
    scratch.writeAt(0, prefix_.data(), prefix_.size());
    int64_t at = static_cast<int64_t>(prefix_.size());
    bytes_.forEach(chunk.from, chunk.to, [&](const uint8_t* p, size_t count) {
        scratch.writeAt(at, p, count);
        at += static_cast<int64_t>(count);
    });
    const long delay = chunkDelayMs(bytes_, chunk.from, chunk.to, k);
    if (k >= 1) frames_.Load(k);
    frames_(k).Tag = IntText(delay);
    composed_ = composeGifFrame(composed_, LoadPicture(platform_, scratch.path()));
    frames_(k).setPicture(composed_);
}

}  // namespace mv::anim
