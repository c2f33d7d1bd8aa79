#pragma once
// A dialog's fonts: the classic 8-point dialog face, the faces, sizes and weights rows ask for
// in their design, and the smaller sizes captions get where the face in hand would clip them.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/ui/layout.h"

namespace mv::win32 {

// The width of a line of text in the font selected into dc.
int textWidth(HDC dc, const std::wstring& s);

class DialogFonts {
public:
    explicit DialogFonts(size_t rows);
    ~DialogFonts();
    DialogFonts(const DialogFonts&) = delete;
    DialogFonts& operator=(const DialogFonts&) = delete;

    // The row's own font, or the dialog font when it has none.
    HFONT of(size_t row) const;
    // Gives the row a font of its own where its design names a face, a size or bold.
    void design(size_t row, const FontSpec& font);
    // Gives the row a smaller size of its face where its font would clip the caption in
    // width x height pixels, wrapped at blanks when `wrap`, as the core's fitting rule decides.
    void fit(size_t row, const std::wstring& caption, int width, int height, bool wrap);

private:
    HFONT dialog_ = nullptr;
    std::vector<HFONT> rows_;  // null: the row uses the dialog font
};

}  // namespace mv::win32
