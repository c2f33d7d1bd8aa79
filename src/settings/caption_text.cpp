#include "settings/caption_text.h"

#include <algorithm>
#include <cctype>

namespace mv {

namespace {

constexpr struct {
    CaptionWord word;
    const char* text;
} kWords[] = {{CaptionWord::Date, "date"}, {CaptionWord::Place, "place"}, {CaptionWord::Folder, "folder"}, {CaptionWord::Name, "name"}};

}  // namespace

std::vector<CaptionWord> CaptionWordsFromText(const std::string& text) {
    std::vector<CaptionWord> words;
    size_t from = 0;
    while (from <= text.size()) {
        size_t to = text.find(',', from);
        if (to == std::string::npos) to = text.size();
        std::string part;
        for (size_t i = from; i < to; ++i)
            if (!std::isspace(static_cast<unsigned char>(text[i]))) part += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        for (const auto& w : kWords)
            if (part == w.text && std::find(words.begin(), words.end(), w.word) == words.end()) words.push_back(w.word);
        from = to + 1;
    }
    return words;
}

std::string CaptionWordsText(const std::vector<CaptionWord>& words) {
    std::string text;
    for (CaptionWord word : words)
        for (const auto& w : kWords)
            if (w.word == word) text += (text.empty() ? "" : ",") + std::string(w.text);
    return text;
}

}  // namespace mv
