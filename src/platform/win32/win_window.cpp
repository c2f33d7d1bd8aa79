#include "platform/win32/win_window.h"

#include <set>
#include <string>

#include "platform/win32/win_common.h"

namespace mv::win32 {
namespace {

constexpr const wchar_t* kTargetProp = L"MarvoscopeHost";

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        if (cs->lpCreateParams) SetPropW(hwnd, kTargetProp, cs->lpCreateParams);
    }
    auto* target = static_cast<WindowTarget*>(GetPropW(hwnd, kTargetProp));
    if (!target) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    guarded([&] { result = target->handle(hwnd, msg, wp, lp); });
    return result;
}

}  // namespace

void registerWindowClass(const wchar_t* name, UINT style, bool icons) {
    static std::set<std::wstring> registered;
    if (registered.count(name)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &windowProc;
    wc.hInstance = moduleInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (icons) {
        wc.hIcon = appIcon(false);
        wc.hIconSm = appIcon(true);
    }
    wc.lpszClassName = name;
    if (RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) registered.insert(name);
}

void attachTarget(HWND hwnd, WindowTarget* target) { SetPropW(hwnd, kTargetProp, target); }

void detachTarget(HWND hwnd) {
    if (GetPropW(hwnd, kTargetProp)) RemovePropW(hwnd, kTargetProp);
}

void destroyDetached(HWND hwnd) {
    EnumChildWindows(hwnd, [](HWND child, LPARAM) -> BOOL {
        detachTarget(child);
        return TRUE;
    }, 0);
    detachTarget(hwnd);
    DestroyWindow(hwnd);
}

void bringToFront(HWND hwnd) {
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
}

HICON appIcon(bool small) {
    const int cx = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    const int cy = GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    return static_cast<HICON>(
        LoadImageW(moduleInstance(), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR | LR_SHARED));
}

void setAppIcons(HWND hwnd) {
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon(false)));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon(true)));
}

}  // namespace mv::win32
