#pragma once
// The text forms of the slideshow's settings: "Interval" in seconds, and the switches
// "Shuffle", "Fade" and "Subfolders" as 1 or 0.
#include <string>

namespace mv {

// Read like "Mousesens" (a number in the user's locale, rounded), then kept within 2..3600; a
// text that is no number gives 10.
int IntervalFromText(const std::string& text);
// What is said of an interval that is not used as it is (out of range or no number), naming
// the seconds used instead; empty for one in range, and for none at all.
std::string IntervalNote(const std::string& text);
// 1 or any other number but 0 is on, 0 off; a text that is no number gives `fallback`.
bool SwitchFromText(const std::string& text, bool fallback);
std::string SwitchText(bool on);

}  // namespace mv
