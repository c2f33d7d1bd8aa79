#pragma once
// JPEG files for decoder checks: samples no test can write itself, and changes to a written one.
#include <cstdint>
#include <vector>

namespace mv::test {

// 192 x 144 pictures of a photo's kind of detail: one stored as CMYK (inverted, as the common
// programs write it, with an Adobe segment), one progressive.
std::vector<uint8_t> cmykJpeg();
std::vector<uint8_t> progressiveJpeg();

// `jpeg` with an Exif segment giving `orientation` (1 to 8) right after its start marker.
std::vector<uint8_t> withExifOrientation(std::vector<uint8_t> jpeg, int orientation);

// `jpeg` with the width in its frame header changed and its data left as it was.
std::vector<uint8_t> withFrameWidth(std::vector<uint8_t> jpeg, int width);

}  // namespace mv::test
