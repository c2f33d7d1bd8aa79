#include "platform/win32/win_saver_host.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/ui/units.h"
#include "platform/win32/win_common.h"
#include "platform/win32/win_input.h"
#include "platform/win32/win_platform.h"
#include "platform/win32/win_text.h"
#include "platform/win32/win_window.h"

namespace mv::win32 {
namespace {

constexpr const wchar_t* kClassName = L"MarvoscopeForm";

// The desktop across every monitor, in device pixels (the program is aware of each monitor's
// density, so nothing here is scaled by the system).
RECT virtualScreen() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// Every monitor's rectangle, the primary one first.
std::vector<Surface> monitors() {
    std::vector<Surface> list;
    EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR m, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (!GetMonitorInfoW(m, &info)) return TRUE;
        auto& out = *reinterpret_cast<std::vector<Surface>*>(data);
        const RECT& r = info.rcMonitor;
        const Surface s{r.left, r.top, r.right - r.left, r.bottom - r.top};
        if (info.dwFlags & MONITORINFOF_PRIMARY) out.insert(out.begin(), s);
        else out.push_back(s);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&list));
    if (list.empty()) list.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    return list;
}

// The fastest refresh among the monitors, in frames a second: a moving picture gets a new
// frame no more often. Drivers that do not know say 0 or 1 ("the hardware's default").
double fastestRefresh() {
    int best = 0;
    EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR m, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFOEXW info{};
        info.cbSize = sizeof(info);
        DEVMODEW mode{};
        mode.dmSize = sizeof(mode);
        if (GetMonitorInfoW(m, &info) && EnumDisplaySettingsW(info.szDevice, ENUM_CURRENT_SETTINGS, &mode)) {
            int& out = *reinterpret_cast<int*>(data);
            out = std::max(out, static_cast<int>(mode.dmDisplayFrequency));
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&best));
    return best > 1 ? best : 60.0;
}

class FormHost : public WindowHost, private WindowTarget {
public:
    FormHost(Form& form, WinPlatform& platform)
        : form_(form), platform_(platform), monitors_(monitors()), refresh_(fastestRefresh()) {
        registerWindowClass(kClassName, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, true);
        const bool bare = form.borderStyle() == BorderStyle::None;
        style_ = bare ? WS_POPUP : (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME);
        const RECT r = targetRect();
        hwnd_ = CreateWindowExW(bare ? 0 : WS_EX_DLGMODALFRAME, kClassName, widen(form.Caption()).c_str(), style_,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                moduleInstance(), static_cast<WindowTarget*>(this));
        if (hwnd_) setAppIcons(hwnd_);
    }

    ~FormHost() override {
        if (hwnd_) destroyDetached(hwnd_);
    }

    void show() override {
        if (!hwnd_) return;
        bringToFront(hwnd_);
        UpdateWindow(hwnd_);
    }

    void sync() override {
        monitors_ = monitors();
        refresh_ = fastestRefresh();
        if (!hwnd_) return;
        SetWindowTextW(hwnd_, widen(form_.Caption()).c_str());
        const RECT r = targetRect();
        SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    int clientWidthPx() const override {
        if (covering()) return monitors_.front().width;
        RECT r{};
        if (hwnd_) GetClientRect(hwnd_, &r);
        return r.right - r.left;
    }
    int clientHeightPx() const override {
        if (covering()) return monitors_.front().height;
        RECT r{};
        if (hwnd_) GetClientRect(hwnd_, &r);
        return r.bottom - r.top;
    }

    // A maximised window covers the whole desktop, and each monitor is a surface of its own.
    std::vector<Surface> surfaces() const override {
        if (covering()) return monitors_;
        return {{0, 0, clientWidthPx(), clientHeightPx()}};
    }

    double refreshRate() const override { return refresh_; }

    void present() override {
        if (!hwnd_) return;
        InvalidateRect(hwnd_, nullptr, FALSE);
        UpdateWindow(hwnd_);
    }

private:
    bool covering() const { return form_.windowState() == WindowState::Maximized; }

    // Window rectangle in pixels: the whole desktop when maximised, else the form's twips.
    RECT targetRect() const {
        if (covering()) return virtualScreen();
        const Units units = Units::of(platform_);
        const int x = units.pixelsX(form_.Left()), y = units.pixelsY(form_.Top());
        return RECT{x, y, x + units.pixelsX(form_.Width()), y + units.pixelsY(form_.Height())};
    }

    void paint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT client{};
        GetClientRect(hwnd_, &client);
        const uint32_t back = colorToPixel(form_.BackColor());
        HBRUSH brush = CreateSolidBrush(RGB((back >> 16) & 0xFF, (back >> 8) & 0xFF, back & 0xFF));
        if (covering()) {
            // Each monitor's picture at its place in the window; the window's corner is the desktop's.
            const RECT desk = virtualScreen();
            const std::vector<Surface>& list = monitors_;
            for (size_t i = 0; i < list.size(); ++i) {
                const RECT to{list[i].x - desk.left, list[i].y - desk.top, list[i].x - desk.left + list[i].width,
                              list[i].y - desk.top + list[i].height};
                drawBacking(dc, form_.backing(i), to, brush);
            }
        } else {
            drawBacking(dc, form_.backing(), client, brush);
        }
        DeleteObject(brush);
        EndPaint(hwnd_, &ps);
    }

    // One backing picture into a rectangle of the client area, pixel for pixel where the sizes
    // agree; the background colour where there is nothing painted yet.
    static void drawBacking(HDC dc, const Bitmap& b, const RECT& to, HBRUSH back) {
        const int w = to.right - to.left, h = to.bottom - to.top;
        if (b.empty()) {
            FillRect(dc, &to, back);
            return;
        }
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = b.width;
        bi.bmiHeader.biHeight = -b.height;  // top-down rows, as the backing stores them
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        if (b.width == w && b.height == h) {
            SetDIBitsToDevice(dc, to.left, to.top, b.width, b.height, 0, 0, 0, b.height, b.pixels.data(), &bi,
                              DIB_RGB_COLORS);
        } else {
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchDIBits(dc, to.left, to.top, w, h, 0, 0, b.width, b.height, b.pixels.data(), &bi, DIB_RGB_COLORS,
                          SRCCOPY);
        }
    }

    // Runs one handler. Nothing of the host is touched afterwards: the handler may unload
    // the form, which destroys this host and its window.
    LRESULT handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override {
        Form& form = form_;
        // Mouse positions in the desktop's space: from one monitor onto the next is a small move.
        const RECT desk = covering() ? virtualScreen() : RECT{};
        const int x = GET_X_LPARAM(lp) + desk.left, y = GET_Y_LPARAM(lp) + desk.top;
        switch (msg) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CLOSE:
            form.requestClose();
            return 0;
        case WM_DISPLAYCHANGE:
            // A monitor came, went or changed its size: cover the desktop again and paint anew.
            sync();
            form.surfacesChanged();
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            input::keyDown(form, static_cast<int16_t>(wp), modifiers());
            return 0;
        case WM_CHAR:
            input::character(form, static_cast<int16_t>(wp));
            return 0;
        case WM_MOUSEMOVE:
            input::move(form, heldButtons(wp), modifiers(), x, y);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            SetCapture(hwnd_);
            input::buttonDown(form, buttonOf(msg), modifiers(), x, y);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (GetCapture() == hwnd_) ReleaseCapture();
            input::buttonUp(form, buttonOf(msg), modifiers(), x, y);
            return 0;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            input::doubleClick(form);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
        }
    }

    Form& form_;
    WinPlatform& platform_;
    HWND hwnd_ = nullptr;
    DWORD style_ = 0;
    // The monitors as of the last layout (creation, a move, a change of the displays): the
    // paint path asks for them on every tick.
    std::vector<Surface> monitors_;
    double refresh_ = 60.0;  // likewise, as of the last layout
};

}  // namespace

std::unique_ptr<WindowHost> makeFormHost(Form& form, WinPlatform& platform) {
    return std::make_unique<FormHost>(form, platform);
}

}  // namespace mv::win32
