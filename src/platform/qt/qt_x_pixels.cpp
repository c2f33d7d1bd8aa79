#include "platform/qt/qt_x_pixels.h"

#include <cstring>

namespace mv::qt {

namespace {

// An 8-bit channel value on the scale of `mask`'s bits, rounded: 255 is the mask's full value
// at any width (1023 for 10 bits), 128 lands in the middle.
uint32_t scaled(uint32_t value8, uint32_t mask) {
    if (!mask) return 0;
    const int shift = __builtin_ctz(mask);
    const uint64_t top = (static_cast<uint64_t>(mask) >> shift);
    return static_cast<uint32_t>(((value8 * top + 127) / 255) << shift) & mask;
}

const char* className(uint8_t c) {
    switch (c) {
        case XCB_VISUAL_CLASS_STATIC_GRAY: return "StaticGray";
        case XCB_VISUAL_CLASS_GRAY_SCALE: return "GrayScale";
        case XCB_VISUAL_CLASS_STATIC_COLOR: return "StaticColor";
        case XCB_VISUAL_CLASS_PSEUDO_COLOR: return "PseudoColor";
        case XCB_VISUAL_CLASS_TRUE_COLOR: return "TrueColor";
        case XCB_VISUAL_CLASS_DIRECT_COLOR: return "DirectColor";
        default: return "unknown";
    }
}

}  // namespace

XPixelFormat::XPixelFormat(uint32_t red, uint32_t green, uint32_t blue, int bytes, int rowAlign, bool msbFirst)
    : bytes_(bytes), rowAlign_(rowAlign > 0 ? rowAlign : 1), msbFirst_(msbFirst) {
    for (uint32_t v = 0; v < 256; ++v) {
        red_[v] = scaled(v, red);
        green_[v] = scaled(v, green);
        blue_[v] = scaled(v, blue);
    }
    plain_ = bytes == 4 && !msbFirst && red == 0xFF0000 && green == 0xFF00 && blue == 0xFF;
}

size_t XPixelFormat::rowBytes(int width) const {
    const size_t raw = static_cast<size_t>(width > 0 ? width : 0) * bytes_;
    return (raw + rowAlign_ - 1) / rowAlign_ * rowAlign_;
}

void XPixelFormat::convertRow(const uint32_t* argb, int width, uint8_t* out) const {
    const size_t used = static_cast<size_t>(width) * bytes_;
    if (plain_) {
        std::memcpy(out, argb, used);
    } else {
        uint8_t* o = out;
        for (int x = 0; x < width; ++x, o += bytes_) {
            const uint32_t p = pixel(argb[x]);
            for (int b = 0; b < bytes_; ++b) o[msbFirst_ ? bytes_ - 1 - b : b] = static_cast<uint8_t>(p >> (8 * b));
        }
    }
    std::memset(out + used, 0, rowBytes(width) - used);
}

std::optional<XPixelFormat> pixelFormatOf(const xcb_setup_t* setup, xcb_visualid_t visual, uint8_t depth, std::string& why) {
    const xcb_visualtype_t* type = nullptr;
    for (auto s = xcb_setup_roots_iterator(setup); s.rem && !type; xcb_screen_next(&s))
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem && !type; xcb_depth_next(&d))
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
                if (v.data->visual_id == visual) {
                    type = v.data;
                    break;
                }
    if (!type) {
        why = "its visual is not one the display lists";
        return std::nullopt;
    }
    if (type->_class != XCB_VISUAL_CLASS_TRUE_COLOR) {
        why = "its visual is " + std::to_string(depth) + "-bit " + className(type->_class) +
              ", and only TrueColor visuals can be drawn in";
        return std::nullopt;
    }
    int bits = 0, pad = 32;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == depth) {
            bits = f.data->bits_per_pixel;
            pad = f.data->scanline_pad;
        }
    if (bits != 16 && bits != 24 && bits != 32) {
        why = "its pixels are " + std::to_string(bits) + " bits wide, which cannot be drawn";
        return std::nullopt;
    }
    return XPixelFormat(type->red_mask, type->green_mask, type->blue_mask, bits / 8, pad / 8,
                        setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST);
}

}  // namespace mv::qt
