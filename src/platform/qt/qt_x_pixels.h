#pragma once
// How an X drawable takes the pixels of an image request, and our 0xAARRGGBB pixels put into
// that form: TrueColor channels of any width (5-6-5, 8-8-8, 10-10-10), 16, 24 or 32 bits a
// pixel, either byte order, rows padded as the server wants them.
#include <xcb/xcb.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace mv::qt {

class XPixelFormat {
public:
    // Channel masks, bytes a pixel (2, 3 or 4), the multiple a row's length in bytes is padded
    // to, and whether the server wants the most significant byte first.
    XPixelFormat(uint32_t red, uint32_t green, uint32_t blue, int bytes, int rowAlign, bool msbFirst);

    // Our pixels as they lie in memory, to be sent without conversion.
    bool plain() const { return plain_; }
    int bytesPerPixel() const { return bytes_; }
    size_t rowBytes(int width) const;
    uint32_t pixel(uint32_t argb) const { return red_[(argb >> 16) & 0xFF] | green_[(argb >> 8) & 0xFF] | blue_[argb & 0xFF]; }
    // Writes rowBytes(width) bytes.
    void convertRow(const uint32_t* argb, int width, uint8_t* out) const;

private:
    std::array<uint32_t, 256> red_{}, green_{}, blue_{};
    int bytes_;
    int rowAlign_;
    bool msbFirst_;
    bool plain_;
};

// The form pixels of `visual` at `depth` take on this display; nullopt when this program cannot
// draw them (a visual that is not TrueColor, a pixel size it does not write), with the reason
// in `why` ("its visual is ...").
std::optional<XPixelFormat> pixelFormatOf(const xcb_setup_t* setup, xcb_visualid_t visual, uint8_t depth, std::string& why);

}  // namespace mv::qt
