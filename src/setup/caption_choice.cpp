#include "setup/caption_choice.h"

#include <algorithm>

namespace mv {

std::vector<CaptionWord> OrderCaptionWords(const std::vector<CaptionWord>& before, const std::vector<CaptionWord>& ticked) {
    auto has = [](const std::vector<CaptionWord>& list, CaptionWord w) {
        return std::find(list.begin(), list.end(), w) != list.end();
    };
    std::vector<CaptionWord> words;
    for (CaptionWord w : before)
        if (has(ticked, w) && !has(words, w)) words.push_back(w);
    for (CaptionWord w : ticked)
        if (!has(words, w)) words.push_back(w);
    return words;
}

}  // namespace mv
