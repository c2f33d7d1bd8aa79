#pragma once
// What the "Captions and bars" dialog chooses, and the order the caption says its words in.
#include <vector>

#include "settings/caption_text.h"

namespace mv {

struct CaptionChoice {
    std::vector<CaptionWord> words;  // in the order the caption says them
    bool clock = false;
    bool blurBars = false;  // a whole picture lies on a blurred copy of itself
    bool motion = false;    // stills drift in a slow pan and zoom
};

// The ticked words in the order the caption says them: those already said keep their place,
// so an order written by hand survives the dialog; newly ticked ones follow in the boxes' order.
std::vector<CaptionWord> OrderCaptionWords(const std::vector<CaptionWord>& before, const std::vector<CaptionWord>& ticked);

}  // namespace mv
