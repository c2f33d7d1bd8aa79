#include "platform/ui/text_wrap.h"

namespace mv {
namespace {

void wrapParagraph(const std::wstring& para, int width, const std::function<int(const std::wstring&)>& measure,
                   std::vector<std::wstring>& out) {
    std::wstring line;
    size_t i = 0;
    const size_t n = para.size();
    while (i < n) {
        size_t blanksEnd = i;
        while (blanksEnd < n && para[blanksEnd] == L' ') ++blanksEnd;
        size_t wordEnd = blanksEnd;
        while (wordEnd < n && para[wordEnd] != L' ') ++wordEnd;
        const std::wstring blanks = para.substr(i, blanksEnd - i);
        std::wstring word = para.substr(blanksEnd, wordEnd - blanksEnd);
        i = wordEnd;
        if (word.empty()) break;  // blanks at the end of the text show nothing
        if (line.empty() && !out.empty()) {
            line = word;  // a line after a break starts without the blanks that broke it
        } else {
            const std::wstring candidate = line + blanks + word;
            if (line.empty() || measure(candidate) <= width) {
                line = candidate;
            } else {
                out.push_back(line);
                line = word;
            }
        }
    }
    out.push_back(line);
}

}  // namespace

std::vector<std::wstring> wrapText(const std::wstring& text, int width,
                                   const std::function<int(const std::wstring&)>& measure) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (;;) {
        const size_t nl = text.find(L'\n', start);
        std::wstring para = text.substr(start, nl == std::wstring::npos ? std::wstring::npos : nl - start);
        if (!para.empty() && para.back() == L'\r') para.pop_back();
        std::vector<std::wstring> part;
        wrapParagraph(para, width, measure, part);
        lines.insert(lines.end(), part.begin(), part.end());
        if (nl == std::wstring::npos) break;
        start = nl + 1;
    }
    return lines;
}

bool wrappedTextFits(const std::wstring& text, int width, int height, int lineHeight,
                     const std::function<int(const std::wstring&)>& measure) {
    const auto lines = wrapText(text, width, measure);
    if (static_cast<long long>(lines.size()) * lineHeight > height) return false;
    for (const auto& line : lines)
        if (measure(line) > width) return false;
    return true;
}

}  // namespace mv
