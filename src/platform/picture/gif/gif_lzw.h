#pragma once
#include <cstddef>
#include <cstdint>

namespace mv::gif {

// Decodes a GIF LZW stream into at most outSize palette indices and returns how many were
// written. A stream that ends early or holds an impossible code stops there: what was
// decoded so far is kept, and the bytes of out from the returned count on, as those past
// out + outSize, keep what they held.
size_t lzwDecode(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t outSize);

}  // namespace mv::gif
