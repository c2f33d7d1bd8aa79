#include "caption/caption_label.h"

#include <algorithm>

namespace mv {

namespace {

// A box blur of radius r along rows, then along columns, of a w x h plane.
void boxBlur(std::vector<uint16_t>& plane, int w, int h, int r) {
    std::vector<uint16_t> line(static_cast<size_t>(std::max(w, h)));
    const int span = 2 * r + 1;
    auto pass = [&](int count, int length, auto at) {
        for (int k = 0; k < count; ++k) {
            int sum = 0;
            for (int i = -r; i <= r; ++i) sum += (i >= 0 && i < length) ? at(k, i) : 0;
            for (int i = 0; i < length; ++i) {
                line[static_cast<size_t>(i)] = static_cast<uint16_t>(sum / span);
                const int out = i - r, in = i + r + 1;
                if (out >= 0) sum -= at(k, out);
                if (in < length) sum += at(k, in);
            }
            for (int i = 0; i < length; ++i) at(k, i) = line[static_cast<size_t>(i)];
        }
    };
    pass(h, w, [&](int y, int x) -> uint16_t& { return plane[static_cast<size_t>(y) * w + x]; });
    pass(w, h, [&](int x, int y) -> uint16_t& { return plane[static_cast<size_t>(y) * w + x]; });
}

}  // namespace

CaptionLabel MakeCaptionLabel(const TextCoverage& text, int pixelSize) {
    CaptionLabel label;
    if (text.width <= 0 || text.height <= 0 || text.alpha.size() < static_cast<size_t>(text.width) * text.height) return label;
    // The shadow spreads about a tenth of the text's size, and reaches a little further than
    // it spreads so that its soft edge is not cut off.
    const int radius = std::max(1, pixelSize / 10);
    const int pad = 2 * radius + 1;
    const int w = text.width + 2 * pad, h = text.height + 2 * pad;
    std::vector<uint16_t> shadow(static_cast<size_t>(w) * h, 0);
    for (int y = 0; y < text.height; ++y)
        for (int x = 0; x < text.width; ++x)
            shadow[static_cast<size_t>(y + pad) * w + x + pad] = text.alpha[static_cast<size_t>(y) * text.width + x];
    boxBlur(shadow, w, h, radius);
    boxBlur(shadow, w, h, radius);
    label.width = w;
    label.height = h;
    label.pixels.assign(static_cast<size_t>(w) * h, 0);
    constexpr uint32_t kFill = 0xF6;  // near white: a white sky still shows the text's edge
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int tx = x - pad, ty = y - pad;
            const uint32_t fill = tx >= 0 && ty >= 0 && tx < text.width && ty < text.height
                                      ? text.alpha[static_cast<size_t>(ty) * text.width + tx]
                                      : 0;
            // A dark shadow of up to 80 % under the text, stronger than the blur alone leaves it.
            const uint32_t dark = std::min<uint32_t>(255, shadow[static_cast<size_t>(y) * w + x] * 2u) * 204u / 255u;
            const uint32_t alpha = fill + dark * (255u - fill) / 255u;
            const uint32_t c = kFill * fill / 255u;
            label.pixels[static_cast<size_t>(y) * w + x] = alpha << 24 | c << 16 | c << 8 | c;
        }
    return label;
}

CaptionLabel FitCaptionLabel(Platform& platform, const std::string& text, int pixelSize, int maxWidth) {
    auto make = [&](const std::string& line) { return MakeCaptionLabel(platform.drawText(line, pixelSize), pixelSize); };
    CaptionLabel whole = make(text);
    if (whole.width <= maxWidth || text.empty()) return whole;
    // The longest start of the line, cut between characters, that fits with the ellipsis.
    std::vector<size_t> cuts;
    for (size_t i = 1; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) cuts.push_back(i);
    CaptionLabel best = make("\xE2\x80\xA6");
    size_t lo = 0, hi = cuts.size();
    while (lo < hi) {
        const size_t mid = (lo + hi + 1) / 2;
        CaptionLabel tried = make(text.substr(0, cuts[mid - 1]) + "\xE2\x80\xA6");
        if (tried.width <= maxWidth) {
            best = std::move(tried);
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    return best;
}

void DrawCaptionLabel(Bitmap& dst, const CaptionLabel& label, int x, int y) {
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(dst.width, x + label.width), y1 = std::min(dst.height, y + label.height);
    for (int row = y0; row < y1; ++row) {
        uint32_t* out = dst.row(row);
        const uint32_t* in = label.pixels.data() + static_cast<size_t>(row - y) * label.width - x;
        for (int col = x0; col < x1; ++col) {
            const uint32_t s = in[col];
            const uint32_t a = s >> 24;
            if (a == 0) continue;
            if (a == 255) {
                out[col] = s;
                continue;
            }
            // Red and blue in one multiply, green in another; (v * k + 128) * 257 >> 16 is
            // v * k / 255 rounded, for every v and k up to 255.
            const uint32_t d = out[col], keep = 255u - a;
            uint32_t rb = (d & 0xFF00FFu) * keep + 0x800080u;
            rb = ((rb + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
            uint32_t g = (d & 0xFF00u) * keep + 0x8000u;
            g = ((g + ((g >> 8) & 0xFF00u)) >> 8) & 0xFF00u;
            out[col] = 0xFF000000u | ((s & 0xFF00FFu) + rb) | ((s & 0xFF00u) + g);
        }
    }
}

}  // namespace mv
