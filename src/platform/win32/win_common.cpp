#include "platform/win32/win_common.h"

namespace mv::win32 {

HINSTANCE moduleInstance() { return GetModuleHandleW(nullptr); }

static int screenCaps(int index) {
    HDC dc = GetDC(nullptr);
    const int v = dc ? GetDeviceCaps(dc, index) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return v > 0 ? v : 96;
}

int screenDpiX() { return screenCaps(LOGPIXELSX); }
int screenDpiY() { return screenCaps(LOGPIXELSY); }

}  // namespace mv::win32

#include <exception>
#include <string>

#include "platform/error.h"
#include "platform/win32/win_text.h"

namespace mv::win32 {

static void fatal(int number, const std::string& what) {
    std::string text = "Run-time error";
    if (number) text += " '" + std::to_string(number) + "'";
    text += ":\n\n" + what;
    MessageBoxW(nullptr, widen(text).c_str(), L"Marvoscope", MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

void guarded(const std::function<void()>& code) {
    try {
        code();
    } catch (const PlatformError& e) {
        fatal(e.number(), e.what());
    } catch (const std::exception& e) {
        fatal(0, e.what());
    } catch (const ProcessTerminated& t) {
        ExitProcess(static_cast<UINT>(t.status));
    }
}

}  // namespace mv::win32
