#include "platform/win32/win_wic_still.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "platform/error.h"
#include "platform/win32/win_wic_com.h"

// The decoders' own reduced decoding; mingw-w64's wincodec.h does not declare it.
MIDL_INTERFACE("3B16811B-6A43-4ec9-B713-3D5A0C13B940")
IWICBitmapSourceTransform : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height, WICPixelFormatGUID* format,
                                                 WICBitmapTransformOptions transform, UINT stride, UINT bufferSize,
                                                 BYTE* buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};

namespace mv::win32 {

namespace {

constexpr IID kSourceTransformId = {0x3b16811b, 0x6a43, 0x4ec9, {0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40}};
// Rows are pulled from the codec in bands of about this many pixels, so that a codec which
// decodes per call is asked a few hundred times at most, and the band stays small.
constexpr size_t kBandPixels = size_t{1} << 20;

[[noreturn]] void refuse(const char* why) { throw PlatformError(ErrInvalidPicture, why); }
void check(HRESULT hr) {
    if (FAILED(hr)) refuse("Invalid picture");
}

// The codec's own reduced decode, when it has one that lands at least at the floor, as 32-bit
// pixels it gives without converting; an empty bitmap otherwise.
Bitmap decodedSmallerByCodec(IWICBitmapFrameDecode& frame, UINT width, UINT height, const DecodeFloor& floor) {
    ComRef<IWICBitmapSourceTransform> transform;
    if (FAILED(frame.QueryInterface(kSourceTransformId, reinterpret_cast<void**>(transform.GetAddressOf()))) || !transform)
        return {};
    const PixelSize least = floor(static_cast<int>(width), static_cast<int>(height));
    if (least.width <= 0 || least.height <= 0 || UINT(least.width) >= width || UINT(least.height) >= height) return {};
    UINT w = static_cast<UINT>(least.width), h = static_cast<UINT>(least.height);
    if (FAILED(transform->GetClosestSize(&w, &h)) || w < UINT(least.width) || h < UINT(least.height) || w >= width ||
        h >= height)
        return {};
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (FAILED(transform->GetClosestPixelFormat(&format))) return {};
    const bool straight = IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA);
    if (!straight && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGR)) return {};
    Bitmap out;
    out.resize(static_cast<int>(w), static_cast<int>(h));
    if (FAILED(transform->CopyPixels(nullptr, w, h, &format, WICBitmapTransformRotate0, w * 4,
                                     static_cast<UINT>(out.pixels.size() * 4), reinterpret_cast<BYTE*>(out.pixels.data()))))
        return {};
    if (!straight)
        for (uint32_t& p : out.pixels) p |= 0xFF000000u;
    return out;
}

}  // namespace

bool bundledDecoderReads(const std::vector<uint8_t>& bytes) {
    const size_t n = bytes.size();
    return (n >= 2 && bytes[0] == 'B' && bytes[1] == 'M') || (n >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF);
}

PicturePtr decodeStillWic(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) {
    if (bytes.empty() || bytes.size() > UINT_MAX) refuse("Invalid picture");
    ComScope com;
    const auto factory = wicFactory();
    ComRef<IWICStream> stream;
    check(factory->CreateStream(stream.GetAddressOf()));
    // The codec reads the caller's bytes in place; they outlive every object made here.
    check(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
    ComRef<IWICBitmapDecoder> decoder;
    const HRESULT found =
        factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.GetAddressOf());
    if (found == WINCODEC_ERR_COMPONENTNOTFOUND) refuse("No codec on this system reads this picture type");
    check(found);
    UINT frames = 0;
    check(decoder->GetFrameCount(&frames));
    if (frames == 0) refuse("Invalid picture");
    ComRef<IWICBitmapFrameDecode> frame;
    check(decoder->GetFrame(0, frame.GetAddressOf()));
    UINT width = 0, height = 0;
    check(frame->GetSize(&width, &height));
    if (width == 0 || height == 0 || width > UINT(kMaxPictureSide) || height > UINT(kMaxPictureSide) ||
        uint64_t{width} * height > uint64_t(kMaxPicturePixels))
        refuse("Picture too large");

    if (floor) {
        Bitmap smaller = decodedSmallerByCodec(*frame.Get(), width, height, floor);
        if (!smaller.empty()) return std::make_shared<RgbPicture>(std::move(smaller));
    }

    ComRef<IWICFormatConverter> converter;
    check(factory->CreateFormatConverter(converter.GetAddressOf()));
    // Straight alpha, so that a transparent pixel's alpha comes through exactly as stored.
    check(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom));
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    const int bandRows = static_cast<int>(std::clamp<size_t>(kBandPixels / width, 1, height));
    std::vector<uint32_t> band(static_cast<size_t>(bandRows) * width);
    int bandTop = -1;
    // B, G, R, A bytes in memory are the bitmap's 0xAARRGGBB on this little-endian system.
    const SourceRows rows = [&](int y, uint32_t*) -> const uint32_t* {
        if (bandTop < 0 || y < bandTop || y >= bandTop + bandRows) {
            bandTop = y - y % bandRows;
            const int n = std::min(bandRows, h - bandTop);
            const WICRect rect{0, bandTop, w, n};
            if (FAILED(converter->CopyPixels(&rect, width * 4, static_cast<UINT>(size_t(n) * width * 4),
                                             reinterpret_cast<BYTE*>(band.data()))))
                refuse("Invalid picture");
        }
        return band.data() + static_cast<size_t>(y - bandTop) * width;
    };
    return std::make_shared<RgbPicture>(KeepDecoded(w, h, floor, rows));
}

}  // namespace mv::win32
