#include "support/photo_pixels.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace mv::test {

Bitmap photoPixels(int w, int h) {
    std::vector<double> channels(static_cast<size_t>(w) * h * 3, 128.0);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1, 1);
    for (int period = 256; period >= 2; period /= 2) {
        const int gw = w / period + 2, gh = h / period + 2;
        std::vector<double> grid(static_cast<size_t>(gw) * gh * 3);
        for (double& v : grid) v = value(random) * period * 0.25;
        auto at = [&](int i, int j, int k) { return grid[(static_cast<size_t>(j) * gw + i) * 3 + k]; };
        for (int y = 0; y < h; ++y) {
            const int gy = y / period;
            const double fy = double(y % period) / period;
            for (int x = 0; x < w; ++x) {
                const int gx = x / period;
                const double fx = double(x % period) / period;
                for (int k = 0; k < 3; ++k)
                    channels[(static_cast<size_t>(y) * w + x) * 3 + k] +=
                        (at(gx, gy, k) * (1 - fx) + at(gx + 1, gy, k) * fx) * (1 - fy) +
                        (at(gx, gy + 1, k) * (1 - fx) + at(gx + 1, gy + 1, k) * fx) * fy;
            }
        }
    }
    Bitmap out;
    out.resize(w, h);
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        uint32_t p = 0xFF000000u;
        for (int k = 0; k < 3; ++k)
            p |= static_cast<uint32_t>(std::clamp(std::lround(channels[i * 3 + k]), 0L, 255L)) << (16 - 8 * k);
        out.pixels[i] = p;
    }
    return out;
}

double rmse(const Bitmap& a, const Bitmap& b) {
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8) {
            const double d = (double((a.pixels[i] >> shift) & 0xFF) - double((b.pixels[i] >> shift) & 0xFF)) / 255.0;
            sum += d * d;
        }
    return std::sqrt(sum / (3.0 * double(a.pixels.size())));
}

}  // namespace mv::test
