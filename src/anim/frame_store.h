#pragma once
// Stores the frames of a split as the show keeps them: each frame file (the header prefix,
// then the frame's chunk) is written to the scratch file, decoded into its element of the
// frame array with its delay in the Tag, composed over the frames before it, and deleted.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "anim/frame_ranges.h"
#include "platform/files/held_file.h"
#include "platform/ui/controls/control_array.h"
#include "platform/ui/controls/picturebox.h"

namespace mv {
class Platform;
}

namespace mv::anim {

class FrameStore {
public:
    // sourcePath: the GIF file itself, where the frames' compressed data stays (read again by
    // offset when a frame is decoded) rather than in memory.
    FrameStore(Platform& platform, const SourceBytes& bytes, ControlArray<PictureBox>& frames, size_t prefixLength,
               std::string sourcePath);
    // Stores frame k. Throws when the frame cannot be stored (too short, too large for the
    // picture loader, refused by it, no scratch file); the scratch file is gone either way.
    void store(int k, const Chunk& chunk);
    // Cuts the whole source into frames and stores each in turn. `going` is asked during every
    // boundary search and after every frame; once it says no, the cut ends and returns false.
    bool storeAll(FrameRanges& ranges, const std::function<bool()>& going);

private:
    Platform& platform_;
    const SourceBytes& bytes_;
    ControlArray<PictureBox>& frames_;
    std::vector<uint8_t> prefix_;
    std::shared_ptr<const std::string> sourcePath_;  // null when the frames' data stays in memory
    PicturePtr composed_;  // the frame stored last, as it shows after the frames before it
};

}  // namespace mv::anim
