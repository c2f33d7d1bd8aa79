#include "platform/win32/win_dialog_fonts.h"

#include <cmath>
#include <cstdlib>
#include <map>

#include "platform/ui/dialog_geometry.h"
#include "platform/win32/win_common.h"
#include "platform/win32/win_text.h"

namespace mv::win32 {

int textWidth(HDC dc, const std::wstring& s) {
    SIZE size{};
    GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
    return static_cast<int>(size.cx);
}

DialogFonts::DialogFonts(size_t rows) : rows_(rows, nullptr) {
    dialog_ = CreateFontW(-MulDiv(8, screenDpiY(), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                          L"MS Sans Serif");
}

DialogFonts::~DialogFonts() {
    for (HFONT f : rows_)
        if (f) DeleteObject(f);
    if (dialog_) DeleteObject(dialog_);
}

HFONT DialogFonts::of(size_t row) const { return rows_[row] ? rows_[row] : dialog_; }

void DialogFonts::design(size_t row, const FontSpec& font) {
    const bool own = !font.family.empty() || font.pointSize > 0 || font.bold;
    if (!own) return;
    LOGFONTW lf{};
    GetObjectW(dialog_, sizeof(lf), &lf);
    if (font.pointSize > 0) lf.lfHeight = -static_cast<LONG>(std::lround(font.pointSize * screenDpiY() / 72.0));
    if (font.bold) lf.lfWeight = FW_BOLD;
    if (!font.family.empty()) {
        const std::wstring family = widen(font.family);
        lstrcpynW(lf.lfFaceName, family.c_str(), LF_FACESIZE);
    }
    rows_[row] = CreateFontIndirectW(&lf);
}

// Wine's stand-in for the classic dialog font is wider than the face the captions were designed
// for, so some of them need a smaller size of it to show whole.
void DialogFonts::fit(size_t row, const std::wstring& caption, int width, int height, bool wrap) {
    if (caption.empty()) return;
    LOGFONTW lf{};
    if (!GetObjectW(of(row), sizeof(lf), &lf)) return;
    const int dpi = screenDpiY();
    const LONG designed = std::labs(lf.lfHeight);
    const auto pixels = [dpi](double pt) { return static_cast<LONG>(std::lround(pt * dpi / 72.0)); };
    HDC dc = GetDC(nullptr);
    const HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
    std::map<LONG, HFONT> fonts;  // by pixel height, made as the fitting asks for them
    const auto use = [&](double pt) {
        HFONT& f = fonts[pixels(pt)];
        if (!f) {
            LOGFONTW sized = lf;
            sized.lfHeight = -pixels(pt);
            f = CreateFontIndirectW(&sized);
        }
        SelectObject(dc, f);
    };
    const dialog::TextMeasure measure{[&](const std::wstring& s, double pt) {
                                          use(pt);
                                          return textWidth(dc, s);
                                      },
                                      [&](double pt) {
                                          use(pt);
                                          TEXTMETRICW tm{};
                                          GetTextMetricsW(dc, &tm);
                                          return static_cast<int>(tm.tmHeight);
                                      }};
    const LONG chosen = pixels(dialog::fittingPointSize(caption, designed * 72.0 / dpi, width, height, wrap, measure));
    SelectObject(dc, original);
    ReleaseDC(nullptr, dc);
    for (auto& [size, f] : fonts) {
        // The designed size fits: keep the font the row already has.
        if (size != chosen || chosen == designed || !f) {
            if (f) DeleteObject(f);
            continue;
        }
        if (rows_[row]) DeleteObject(rows_[row]);
        rows_[row] = f;
    }
}

}  // namespace mv::win32
