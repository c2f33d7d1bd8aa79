#include "platform/win32/win_caption_text.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/win_text.h"

namespace mv::win32 {

namespace {

// A caption is one line; a text far longer than any screen is cut before it is drawn.
constexpr int kMaxWidth = 16384;

LOGFONTW messageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return metrics.lfMessageFont;
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    return font;
}

}  // namespace

TextCoverage drawCaptionText(const std::string& utf8, int pixelSize) {
    TextCoverage out;
    if (utf8.empty() || pixelSize <= 0) return out;
    LOGFONTW wanted = messageFont();
    wanted.lfHeight = -pixelSize;  // the em, as Qt's pixel size
    wanted.lfWidth = 0;
    // Grey antialiasing: ClearType's coloured fringes would not survive being laid over a photo.
    wanted.lfQuality = ANTIALIASED_QUALITY;
    HFONT font = CreateFontIndirectW(&wanted);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!font || !dc) {
        if (font) DeleteObject(font);
        if (dc) DeleteDC(dc);
        return out;
    }
    HGDIOBJ oldFont = SelectObject(dc, font);
    const std::wstring text = widen(utf8);
    SIZE size{};
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    const int w = std::min(kMaxWidth, static_cast<int>(size.cx + 2 + tm.tmOverhang)), h = tm.tmHeight;
    if (w > 2 && h > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (section && bits) {
            HGDIOBJ oldBitmap = SelectObject(dc, section);
            std::fill_n(static_cast<uint32_t*>(bits), static_cast<size_t>(w) * h, 0u);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(255, 255, 255));
            TextOutW(dc, 1, 0, text.c_str(), static_cast<int>(text.size()));
            GdiFlush();
            out.width = w;
            out.height = h;
            out.alpha.resize(static_cast<size_t>(w) * h);
            const auto* pixels = static_cast<const uint32_t*>(bits);
            // White on black: any channel is the coverage; green is the one GDI never skews.
            for (size_t i = 0; i < out.alpha.size(); ++i) out.alpha[i] = static_cast<uint8_t>((pixels[i] >> 8) & 0xFF);
            SelectObject(dc, oldBitmap);
        }
        if (section) DeleteObject(section);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    DeleteDC(dc);
    return out;
}

std::string localeLongDatePattern() {
    wchar_t pattern[128] = {};
    if (!GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SLONGDATE, pattern, 128)) return "dddd, d MMMM yyyy";
    return narrow(pattern);
}

std::string localeDate(const std::string& pattern, int year, int month, int day) {
    SYSTEMTIME when{};
    when.wYear = static_cast<WORD>(year);
    when.wMonth = static_cast<WORD>(month);
    when.wDay = static_cast<WORD>(day);
    wchar_t text[256] = {};
    const std::wstring format = widen(pattern);
    if (!GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &when, format.c_str(), text, 256, nullptr)) return {};
    return narrow(text);
}

std::string localeShortTimePattern() {
    wchar_t pattern[128] = {};
    if (!GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTTIME, pattern, 128)) return "HH:mm";
    return narrow(pattern);
}

std::string localeTime(const std::string& pattern, int hour, int minute) {
    SYSTEMTIME when{};
    when.wYear = 2000;
    when.wMonth = 1;
    when.wDay = 1;
    when.wHour = static_cast<WORD>(hour);
    when.wMinute = static_cast<WORD>(minute);
    wchar_t text[64] = {};
    const std::wstring format = widen(pattern);
    if (!GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &when, format.c_str(), text, 64)) return {};
    return narrow(text);
}

}  // namespace mv::win32
