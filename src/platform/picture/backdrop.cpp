#include "platform/picture/backdrop.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>

#include "platform/picture/picture.h"
#include "platform/picture/resample.h"

namespace mv {

namespace {

// The reduced copy's shorter side, near enough: the blur hides any finer detail anyway.
constexpr int kReducedShorter = 128;
constexpr int kReducedLongest = 1024;
// Each box pass reaches this share of the shorter side either way; three passes make it a
// bell-shaped blur.
constexpr double kBlurReach = 0.03;

PixelSize reducedSize(int w, int h) {
    const int shorter = std::min(w, h), longer = std::max(w, h);
    const int k = std::max({1, shorter / kReducedShorter, (longer + kReducedLongest - 1) / kReducedLongest});
    return {std::max(1, (w + k / 2) / k), std::max(1, (h + k / 2) / k)};
}

// One box pass over `n` pixels `step` apart, 2r + 1 wide, the edge pixels repeated beyond the
// ends so the borders do not darken.
void boxLine(uint32_t* p, int n, size_t step, int r, std::vector<uint32_t>& line) {
    line.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) line[static_cast<size_t>(i)] = p[static_cast<size_t>(i) * step];
    auto at = [&](int i) { return line[static_cast<size_t>(std::clamp(i, 0, n - 1))]; };
    uint32_t sum[3] = {0, 0, 0};
    for (int j = -r; j <= r; ++j)
        for (int c = 0; c < 3; ++c) sum[c] += (at(j) >> (8 * c)) & 0xFF;
    // Division by the box's width as a multiply: exact for every sum of 255s it can hold.
    const uint64_t width = static_cast<uint64_t>(2 * r + 1);
    const uint64_t scale = ((uint64_t{1} << 32) + width - 1) / width;
    for (int i = 0; i < n; ++i) {
        uint32_t out = 0xFF000000u;
        for (int c = 0; c < 3; ++c) out |= static_cast<uint32_t>(((sum[c] + width / 2) * scale) >> 32) << (8 * c);
        p[static_cast<size_t>(i) * step] = out;
        const uint32_t in = at(i + r + 1), gone = at(i - r);
        for (int c = 0; c < 3; ++c) sum[c] += ((in >> (8 * c)) & 0xFF) - ((gone >> (8 * c)) & 0xFF);
    }
}

void blur(Bitmap& b, int r) {
    if (r <= 0) return;
    std::vector<uint32_t> line;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < b.height; ++y) boxLine(b.row(y), b.width, 1, r, line);
        for (int x = 0; x < b.width; ++x) boxLine(b.pixels.data() + x, b.height, static_cast<size_t>(b.width), r, line);
    }
}

void darken(Bitmap& b) {
    for (uint32_t& p : b.pixels) {
        const uint32_t rb = ((p & 0x00FF00FFu) * kBackdropBrightness >> 8) & 0x00FF00FFu;
        const uint32_t g = ((p & 0x0000FF00u) * kBackdropBrightness >> 8) & 0x0000FF00u;
        p = 0xFF000000u | rb | g;
    }
}

int clampInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

Bitmap BlurredFill(const Picture& picture, int w, int h, int32_t backColor) {
    Bitmap small;
    if (w <= 0 || h <= 0) return small;
    const PixelSize size = reducedSize(w, h);
    small.resize(size.width, size.height, colorToPixel(backColor));
    const PixelRect filled = PlacePicture(picture.width(), picture.height(), {0, 0, size.width, size.height},
                                          PicturePlacement::Fill);
    picture.stretchTo(small, filled.x, filled.y, filled.width, filled.height, backColor);
    blur(small, static_cast<int>(std::lround(kBlurReach * std::min(size.width, size.height))));
    darken(small);
    return small;
}

Backdrop::Backdrop(const Picture& picture, const std::vector<PixelRect>& areas, int32_t backColor) {
    for (const PixelRect& a : areas) {
        const PixelSize size{a.width, a.height};
        const PixelRect whole{0, 0, a.width, a.height};
        if (a.width <= 0 || a.height <= 0) continue;
        if (PlacePicture(picture.width(), picture.height(), whole, PicturePlacement::Fit) == whole) continue;
        if (std::any_of(copies_.begin(), copies_.end(), [&](const Copy& c) { return c.area == size; })) continue;
        copies_.push_back({size, BlurredFill(picture, a.width, a.height, backColor)});
    }
}

size_t Backdrop::bytes() const {
    size_t n = 0;
    for (const Copy& c : copies_) n += c.pixels.pixels.size() * sizeof(uint32_t);
    return n;
}

void Backdrop::paintBars(Bitmap& dst, const PixelRect& area, const PixelRect& placed) const {
    if (copies_.empty() || area.width <= 0 || area.height <= 0) return;
    const Copy* best = &copies_.front();
    long long bestMiss = -1;
    for (const Copy& c : copies_) {
        const long long miss = std::llabs(0LL + c.area.width - area.width) + std::llabs(0LL + c.area.height - area.height);
        if (bestMiss < 0 || miss < bestMiss) {
            best = &c;
            bestMiss = miss;
        }
    }
    const Bitmap& src = best->pixels;
    const int left = area.x, top = area.y;
    const int right = clampInt(0LL + area.x + area.width), bottom = clampInt(0LL + area.y + area.height);
    const int picLeft = std::clamp(placed.x, left, right), picRight = std::clamp(clampInt(0LL + placed.x + placed.width), picLeft, right);
    const int picTop = std::clamp(placed.y, top, bottom), picBottom = std::clamp(clampInt(0LL + placed.y + placed.height), picTop, bottom);
    const Clip bands[] = {{left, top, right, picTop},
                          {left, picBottom, right, bottom},
                          {left, picTop, picLeft, picBottom},
                          {picRight, picTop, right, picBottom}};
    const SourceRows rows = [&](int sy, uint32_t*) { return src.row(sy); };
    for (const Clip& band : bands)
        if (band.left < band.right && band.top < band.bottom)
            resampleClipped(dst, band, area.x, area.y, area.width, area.height, src.width, src.height, rows);
}

BackdropPtr MakeBackdrop(const Picture& picture, const std::vector<PixelRect>& areas, int32_t backColor) {
    if (picture.width() <= 0 || picture.height() <= 0) return nullptr;
    try {
        auto backdrop = std::make_shared<const Backdrop>(picture, areas, backColor);
        return backdrop->empty() ? nullptr : backdrop;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace mv
