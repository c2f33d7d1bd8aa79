#pragma once
#include <cstddef>
#include <cstdint>

namespace mv::gif {

// Decodes a GIF LZW stream into at most outSize palette indices and returns how many were
// written. A stream that ends early or holds an impossible code stops there: what was
// decoded so far is kept, nothing past out + outSize is touched. `out` must hold one value
// throughout (what undecoded pixels show); the bytes past the decoded ones keep it.
size_t lzwDecode(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t outSize);

}  // namespace mv::gif
