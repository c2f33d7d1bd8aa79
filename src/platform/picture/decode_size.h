#pragma once
// How small a still picture may be decoded. A JPEG decoder reaches a size of M/8 of the stored
// one (M from 1 to 8) cheaply, by leaving out the finer DCT coefficients; a picture decoded no
// smaller than it is shown looks the same after the stretch and costs less time and memory.
#include <functional>

#include "platform/picture/placement.h"

namespace mv {

// Given a picture's stored width and height, the least size it may be decoded at.
using DecodeFloor = std::function<PixelSize(int width, int height)>;

// The smallest scale M/8 (M one of `eighths`, which hold 8) at which both sides of a
// width x height picture come out whole (so the decoder gives that size itself, with no
// resampling of its own) and the picture stays at least `floor` in both directions. Returns M.
int DecodeEighths(int width, int height, PixelSize floor, std::initializer_list<int> eighths);

}  // namespace mv
