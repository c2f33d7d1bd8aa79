// A moving picture's frame on Windows, four ways, at 1920x1080: the core's own bilinear drawing
// plus the window blit the saver does for every frame, GDI's StretchBlt (HALFTONE and
// COLORONCOLOR) and AlphaBlend from a memory DC holding the picture, and Direct2D where it
// starts. Each prints its cost per frame, how far its frame is from the own drawing's at a
// whole-pixel framing, and where a bright bar inside the picture lands over successive frames
// of a slow drift (0.05 px a frame, 3 px a second at 60 frames): GDI takes whole-pixel
// rectangles, so there it stands still and then jumps. Last, the pace SetTimer keeps at 16 and
// 33 ms. Run under Wine on a screen of at least 1920x1080:
//   wine build-win/bench/motion_gdi.exe
#include <windows.h>

#include <d2d1.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "best_of.h"
#include "platform/picture/motion/draw_moving.h"

namespace {

constexpr int kW = 1920, kH = 1080;
constexpr int kFrames = 60;
constexpr double kStep = 0.05;  // pixels a frame

HWND window;

// A photo-like picture 1.15 times the screen with one bright vertical bar, whose landing place
// tells where the picture is.
std::shared_ptr<const mv::Bitmap> makePicture(int& barAt) {
    auto b = std::make_shared<mv::Bitmap>();
    const int w = static_cast<int>(kW * 1.15), h = static_cast<int>(kH * 1.15);
    b->resize(w, h);
    barAt = w / 2;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int r = (x * 7 + y * 3) & 0x3F, g = 0x40 + ((x ^ y) & 0x1F), bl = (y * 5) & 0x3F;
            b->row(y)[x] = 0xFF000000u | (r << 16) | (g << 8) | bl;
        }
    for (int y = 0; y < h; ++y)
        for (int x = barAt; x < barAt + 6; ++x) b->row(y)[x] = 0xFFFFFFFFu;
    return b;
}

mv::RectD frameAt(int k, int picW, int picH) { return {-100.0 + k * kStep, -60.0, picW * 0.95, picH * 0.95}; }

// Where the bar's brightness centres along the middle row, past the picture's own pattern.
double barCentre(const uint32_t* row) {
    double sum = 0, at = 0;
    for (int x = 0; x < kW; ++x) {
        const int g = static_cast<int>((row[x] >> 8) & 0xFF) - 0x80;
        if (g > 0) {
            sum += g;
            at += g * (x + 0.5);
        }
    }
    return sum > 0 ? at / sum : -1;
}

struct Dib {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    uint32_t* bits = nullptr;
    Dib(int w, int h) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        void* p = nullptr;
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        SelectObject(dc, bitmap);
    }
    ~Dib() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

double rmse(const uint32_t* a, const uint32_t* b) {
    double sum = 0;
    for (size_t i = 0; i < static_cast<size_t>(kW) * kH; ++i)
        for (int c = 0; c < 24; c += 8) {
            const double d = (static_cast<int>((a[i] >> c) & 0xFF) - static_cast<int>((b[i] >> c) & 0xFF)) / 255.0;
            sum += d * d;
        }
    return std::sqrt(sum / (3.0 * kW * kH));
}

// One way of making frame k on a DC.
using Route = std::function<void(HDC, int k)>;

void report(const char* name, const Route& route, const uint32_t* reference) {
    HDC screen = GetDC(window);
    const double ms = mv::bench::bestOf(3, [&] {
        for (int k = 0; k < kFrames; ++k) {
            route(screen, k);
            GdiFlush();
        }
    }) / kFrames;
    ReleaseDC(window, screen);
    Dib out(kW, kH);
    route(out.dc, 0);
    GdiFlush();
    std::printf("%-34s %7.2f ms a frame  RMSE %.4f against the own drawing  bar at:", name, ms,
                reference ? rmse(out.bits, reference) : 0.0);
    for (int k = 0; k <= 40; k += 5) {
        route(out.dc, k);
        GdiFlush();
        std::printf(" %.2f", barCentre(out.bits + static_cast<size_t>(kH / 2) * kW));
    }
    std::printf("\n");
}

void showBacking(HDC dc, const mv::Bitmap& b) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = b.width;
    bi.bmiHeader.biHeight = -b.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, b.width, b.height, 0, 0, 0, b.height, b.pixels.data(), &bi, DIB_RGB_COLORS);
}

// Direct2D's bitmap drawn at fractional places, linearly filtered; the frame read back through
// a GDI-compatible target. Null when Direct2D does not start here.
void direct2d(const mv::Bitmap& pic, const uint32_t* reference) {
    ID2D1Factory* factory = nullptr;
    if (FAILED(D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), nullptr,
                                 reinterpret_cast<void**>(&factory)))) {
        std::printf("Direct2D: no factory\n");
        return;
    }
    ID2D1HwndRenderTarget* target = nullptr;
    const D2D1_RENDER_TARGET_PROPERTIES props = D2D1::RenderTargetProperties(
        D2D1_RENDER_TARGET_TYPE_DEFAULT, D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE));
    if (FAILED(factory->CreateHwndRenderTarget(props, D2D1::HwndRenderTargetProperties(window, D2D1::SizeU(kW, kH)),
                                               &target))) {
        std::printf("Direct2D: no window target\n");
        factory->Release();
        return;
    }
    ID2D1Bitmap* bitmap = nullptr;
    const HRESULT made = target->CreateBitmap(
        D2D1::SizeU(pic.width, pic.height), pic.pixels.data(), pic.width * 4,
        D2D1::BitmapProperties(D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE)), &bitmap);
    if (FAILED(made)) {
        std::printf("Direct2D: no bitmap (0x%08lx)\n", static_cast<unsigned long>(made));
    } else {
        const double ms = mv::bench::bestOf(3, [&] {
            for (int k = 0; k < kFrames; ++k) {
                const mv::RectD r = frameAt(k, pic.width, pic.height);
                target->BeginDraw();
                target->Clear(D2D1::ColorF(0.5f, 0.0f, 1.0f));
                target->DrawBitmap(bitmap, D2D1::RectF(r.x, r.y, r.x + r.w, r.y + r.h), 1.0f,
                                   D2D1_BITMAP_INTERPOLATION_MODE_LINEAR);
                target->EndDraw();
            }
        }) / kFrames;
        std::printf("%-34s %7.2f ms a frame (look not read back)\n", "Direct2D DrawBitmap, linear", ms);
        bitmap->Release();
    }
    (void)reference;
    target->Release();
    factory->Release();
}

// The pace of a SetTimer timer asked for every `ms`: its mean and longest interval over 2 s.
void timerPace(unsigned ms, const char* note) {
    static std::vector<LARGE_INTEGER> ticks;
    ticks.clear();
    const UINT_PTR id = SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR, DWORD) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        ticks.push_back(now);
    });
    const DWORD until = GetTickCount() + 2000;
    MSG msg;
    while (GetTickCount() < until && GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
    KillTimer(nullptr, id);
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    double longest = 0;
    for (size_t i = 1; i < ticks.size(); ++i)
        longest = std::max(longest, 1000.0 * (ticks[i].QuadPart - ticks[i - 1].QuadPart) / freq.QuadPart);
    const double mean = ticks.size() > 1
                            ? 1000.0 * (ticks.back().QuadPart - ticks.front().QuadPart) / freq.QuadPart / (ticks.size() - 1)
                            : 0;
    std::printf("SetTimer %2u ms%s: %zu ticks in 2 s, mean %.2f ms, longest %.2f ms\n", ms, note, ticks.size(), mean, longest);
}

}  // namespace

int main() {
    window = CreateWindowExW(0, L"STATIC", L"motion bench", WS_POPUP | WS_VISIBLE, 0, 0, kW, kH, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    int barAt = 0;
    const auto picture = makePicture(barAt);
    const int pw = picture->width, ph = picture->height;
    std::printf("picture %dx%d on %dx%d, bar at picture column %d; a drift of %.2f px a frame\n", pw, ph, kW, kH, barAt,
                kStep);

    // The own drawing, at every frame into the saver's backing, then the blit the host does.
    mv::Bitmap backing;
    backing.resize(kW, kH);
    auto scene = [&](int k) {
        mv::MovingScene s;
        s.picture = picture;
        s.at = frameAt(k, pw, ph);
        s.fill = 0xFF8000FFu;
        return s;
    };
    Dib reference(kW, kH);
    {
        mv::Bitmap ref;
        ref.resize(kW, kH);
        mv::DrawMovingScene(ref, scene(0));
        std::copy(ref.pixels.begin(), ref.pixels.end(), reference.bits);
    }
    const double drawOnly = mv::bench::bestOf(3, [&] {
        for (int k = 0; k < kFrames; ++k) mv::DrawMovingScene(backing, scene(k));
    }) / kFrames;
    std::printf("%-34s %7.2f ms a frame\n", "own drawing alone", drawOnly);
    {
        HDC screen = GetDC(window);
        const double blit = mv::bench::bestOf(3, [&] {
            for (int k = 0; k < kFrames; ++k) {
                showBacking(screen, backing);
                GdiFlush();
            }
        }) / kFrames;
        ReleaseDC(window, screen);
        std::printf("%-34s %7.2f ms a frame\n", "SetDIBitsToDevice alone", blit);
    }
    report("own drawing + SetDIBitsToDevice", [&](HDC dc, int k) {
        mv::DrawMovingScene(backing, scene(k));
        showBacking(dc, backing);
    }, reference.bits);

    // The picture once in a memory DC; each frame a whole-pixel rectangle of it.
    Dib source(pw, ph);
    std::copy(picture->pixels.begin(), picture->pixels.end(), source.bits);
    auto gdiRect = [&](int k) {
        const mv::RectD r = frameAt(k, pw, ph);
        return RECT{static_cast<LONG>(std::lround(r.x)), static_cast<LONG>(std::lround(r.y)),
                    static_cast<LONG>(std::lround(r.x + r.w)), static_cast<LONG>(std::lround(r.y + r.h))};
    };
    for (const int mode : {HALFTONE, COLORONCOLOR}) {
        report(mode == HALFTONE ? "StretchBlt HALFTONE" : "StretchBlt COLORONCOLOR", [&](HDC dc, int k) {
            const RECT r = gdiRect(k);
            SetStretchBltMode(dc, mode);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.dc, 0, 0, pw, ph, SRCCOPY);
        }, reference.bits);
    }
    report("AlphaBlend, scaled", [&](HDC dc, int k) {
        const RECT r = gdiRect(k);
        const BLENDFUNCTION opaque{AC_SRC_OVER, 0, 255, 0};
        GdiAlphaBlend(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.dc, 0, 0, pw, ph, opaque);
    }, reference.bits);
    direct2d(*picture, reference.bits);

    timerPace(16, "");
    timerPace(33, "");
    timeBeginPeriod(1);
    timerPace(16, " (timeBeginPeriod 1)");
    timeEndPeriod(1);
    DestroyWindow(window);
    return 0;
}
