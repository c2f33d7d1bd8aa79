#pragma once
// How small a still picture may be decoded. A JPEG decoder reaches a size of M/8 of the stored
// one (M from 1 to 8) cheaply, by leaving out the finer DCT coefficients; a picture decoded no
// smaller than it is shown looks the same after the stretch and costs less time and memory.
#include <functional>

#include "platform/picture/bitmap.h"
#include "platform/picture/placement.h"
#include "platform/picture/resample.h"

namespace mv {

// Given a picture's stored width and height, the least size it may be decoded at.
using DecodeFloor = std::function<PixelSize(int width, int height)>;

// The smallest scale M/8 (M one of `eighths`, which hold 8) at which both sides of a
// width x height picture come out whole (so the decoder gives that size itself, with no
// resampling of its own) and the picture stays at least `floor` in both directions. Returns M.
int DecodeEighths(int width, int height, PixelSize floor, std::initializer_list<int> eighths);

// An opaque width x height picture from a decoder that cannot decode it smaller, read row by row
// through `rows` (each row as opaque 0xFFRRGGBB): averaged down to `floor`'s size while it is
// read when that is smaller in both directions, else copied whole. Either way the only
// full-size pixels are the decoder's own.
Bitmap KeepDecoded(int width, int height, const DecodeFloor& floor, const SourceRows& rows);

}  // namespace mv
