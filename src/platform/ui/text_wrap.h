#pragma once
// Label text wrapping as the classic labels do it: words go onto a line while they fit, the
// blanks where a line breaks are dropped, and a word wider than the label stays whole (the
// label clips it). Explicit line breaks ("\r\n" or "\n") are kept.
#include <functional>
#include <string>
#include <vector>

namespace mv {

std::vector<std::wstring> wrapText(const std::wstring& text, int width,
                                   const std::function<int(const std::wstring&)>& measure);

// Whether the text, wrapped as above, shows whole in a box: no line wider than the box (a word
// that is would be clipped) and every line within its height.
bool wrappedTextFits(const std::wstring& text, int width, int height, int lineHeight,
                     const std::function<int(const std::wstring&)>& measure);

}  // namespace mv
