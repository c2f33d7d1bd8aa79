// Our pixels in the forms X servers take them: channel widths other than eight bits, both
// byte orders, rows padded to the server's multiple.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/qt/qt_x_pixels.h"

using mv::qt::XPixelFormat;

namespace {

constexpr uint32_t kOrange = 0xFFFF8000;  // (255, 128, 0)

std::vector<uint8_t> row(const XPixelFormat& f, const std::vector<uint32_t>& pixels) {
    std::vector<uint8_t> out(f.rowBytes(static_cast<int>(pixels.size())), 0xEE);
    f.convertRow(pixels.data(), static_cast<int>(pixels.size()), out.data());
    return out;
}

}  // namespace

TEST(XPixelFormat, ChannelsWiderOrNarrowerThanEightBitsKeepTheirFullRange) {
    const XPixelFormat deep(0x3FF00000, 0xFFC00, 0x3FF, 4, 4, false);  // 10 bits a channel
    EXPECT_EQ(deep.pixel(kOrange), (1023u << 20) | (514u << 10));
    EXPECT_EQ(deep.pixel(0xFFFFFFFF), 0x3FFFFFFFu);
    const XPixelFormat bgr(0xFF, 0xFF00, 0xFF0000, 4, 4, false);
    EXPECT_EQ(bgr.pixel(kOrange), 0x0080FFu);
    const XPixelFormat r5g6b5(0xF800, 0x07E0, 0x001F, 2, 4, false);
    EXPECT_EQ(r5g6b5.pixel(kOrange), (31u << 11) | (32u << 5));
    EXPECT_EQ(r5g6b5.pixel(0xFFFFFFFF), 0xFFFFu);
    EXPECT_TRUE(XPixelFormat(0xFF0000, 0xFF00, 0xFF, 4, 4, false).plain());
    EXPECT_FALSE(deep.plain());
}

TEST(XPixelFormat, RowsFollowTheServersByteOrderAndPadding) {
    const XPixelFormat lsb(0xF800, 0x07E0, 0x001F, 2, 4, false);
    const XPixelFormat msb(0xF800, 0x07E0, 0x001F, 2, 4, true);
    // Three 16-bit pixels make six bytes, padded to eight.
    EXPECT_EQ(row(lsb, {kOrange, kOrange, kOrange}), (std::vector<uint8_t>{0x00, 0xFC, 0x00, 0xFC, 0x00, 0xFC, 0, 0}));
    EXPECT_EQ(row(msb, {kOrange}), (std::vector<uint8_t>{0xFC, 0x00, 0, 0}));
    const XPixelFormat packed(0xFF0000, 0xFF00, 0xFF, 3, 4, false);
    EXPECT_EQ(row(packed, {kOrange, 0xFF0000FF}), (std::vector<uint8_t>{0x00, 0x80, 0xFF, 0xFF, 0x00, 0x00, 0, 0}));
}
