#pragma once
// The text form of the caption's setting "Caption": the words "date", "place", "folder" and
// "name", separated by commas, in the order the caption says them.
#include <string>
#include <vector>

namespace mv {

enum class CaptionWord { Date, Place, Folder, Name };

// Unknown words and blanks are passed over, a word said twice counts once, any case is read; an
// empty or missing text gives no words: no caption.
std::vector<CaptionWord> CaptionWordsFromText(const std::string& text);
std::string CaptionWordsText(const std::vector<CaptionWord>& words);

}  // namespace mv
