#include "win_form_host.h"

#include <windows.h>
#include <windowsx.h>

#include <cmath>

#include "win_common.h"
#include "win_input.h"
#include "win_platform.h"
#include "win_text.h"

namespace mv::win32 {
namespace {

constexpr const wchar_t* kClassName = L"MarvoscopeForm";

class FormHost : public WindowHost {
public:
    FormHost(Form& form, WinPlatform& platform) : form_(form), platform_(platform) {
        registerClass();
        const bool bare = form.borderStyle() == BorderStyle::None;
        style_ = bare ? WS_POPUP : (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME);
        const RECT r = targetRect();
        hwnd_ = CreateWindowExW(bare ? 0 : WS_EX_DLGMODALFRAME, kClassName, widen(form.Caption()).c_str(), style_,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                moduleInstance(), this);
        if (hwnd_) {
            SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon(false)));
            SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon(true)));
        }
    }

    ~FormHost() override {
        if (!hwnd_) return;
        // Detach first: the window's last messages must not reach a host being destroyed.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }

    void show() override {
        if (!hwnd_) return;
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        UpdateWindow(hwnd_);
    }

    void sync() override {
        if (!hwnd_) return;
        SetWindowTextW(hwnd_, widen(form_.Caption()).c_str());
        const RECT r = targetRect();
        SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    int clientWidthPx() const override {
        RECT r{};
        if (hwnd_) GetClientRect(hwnd_, &r);
        return r.right - r.left;
    }
    int clientHeightPx() const override {
        RECT r{};
        if (hwnd_) GetClientRect(hwnd_, &r);
        return r.bottom - r.top;
    }

    void present() override {
        if (!hwnd_) return;
        InvalidateRect(hwnd_, nullptr, FALSE);
        UpdateWindow(hwnd_);
    }

private:
    static void registerClass() {
        static bool done = false;
        if (done) return;
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &FormHost::windowProc;
        wc.hInstance = moduleInstance();
        wc.hIcon = appIcon(false);
        wc.hIconSm = appIcon(true);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        done = RegisterClassExW(&wc) != 0;
    }

    // Window rectangle in pixels: the whole screen when maximised, else the form's twips.
    RECT targetRect() const {
        if (form_.windowState() == WindowState::Maximized)
            return RECT{0, 0, platform_.screenWidthPx(), platform_.screenHeightPx()};
        const double tx = platform_.twipsPerPixelX(), ty = platform_.twipsPerPixelY();
        const int x = static_cast<int>(std::lround(form_.Left() / tx));
        const int y = static_cast<int>(std::lround(form_.Top() / ty));
        return RECT{x, y, x + static_cast<int>(std::lround(form_.Width() / tx)),
                    y + static_cast<int>(std::lround(form_.Height() / ty))};
    }

    void paint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT client{};
        GetClientRect(hwnd_, &client);
        const Bitmap& b = form_.backing();
        if (b.empty()) {
            const uint32_t px = colorToPixel(form_.BackColor());
            HBRUSH brush = CreateSolidBrush(RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF));
            FillRect(dc, &client, brush);
            DeleteObject(brush);
        } else {
            BITMAPINFO bi{};
            bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
            bi.bmiHeader.biWidth = b.width;
            bi.bmiHeader.biHeight = -b.height;  // top-down rows, as the backing stores them
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            bi.bmiHeader.biCompression = BI_RGB;
            if (b.width == client.right && b.height == client.bottom) {
                SetDIBitsToDevice(dc, 0, 0, b.width, b.height, 0, 0, 0, b.height, b.pixels.data(), &bi,
                                  DIB_RGB_COLORS);
            } else {
                SetStretchBltMode(dc, COLORONCOLOR);
                StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, b.width, b.height, b.pixels.data(), &bi,
                              DIB_RGB_COLORS, SRCCOPY);
            }
        }
        EndPaint(hwnd_, &ps);
    }

    // Runs one handler. Nothing of the host is touched afterwards: the handler may unload
    // the form, which destroys this host and its window.
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) {
        Form& form = form_;
        const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        switch (msg) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CLOSE:
            form.requestClose();
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
            return DefWindowProcW(hwnd_, msg, wp, lp);
        }
    }

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
            auto* self = static_cast<FormHost*>(cs->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<FormHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
        LRESULT result = 0;
        guarded([&] { result = self->handle(msg, wp, lp); });
        return result;
    }

    Form& form_;
    WinPlatform& platform_;
    HWND hwnd_ = nullptr;
    DWORD style_ = 0;
};

}  // namespace

std::unique_ptr<WindowHost> makeFormHost(Form& form, WinPlatform& platform) {
    return std::make_unique<FormHost>(form, platform);
}

}  // namespace mv::win32
