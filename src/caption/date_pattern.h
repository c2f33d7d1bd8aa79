#pragma once
// The date form a caption uses: the user's own long date (which names the month, in the
// languages that do) without the weekday, and with the year in four digits.
#include <string>
#include <vector>

namespace mv {

// A date or time pattern cut into its parts: runs of one letter (the fields: d, M, y, h, m,
// s ...) and literal text, quoted as the pattern quotes it ('' for a quote itself).
struct DatePatternPart {
    bool field = false;
    std::string text;  // the letters of a field, or the literal text without its quotes
};
std::vector<DatePatternPart> SplitDatePattern(const std::string& pattern);
std::string JoinDatePattern(const std::vector<DatePatternPart>& parts);

// The clock's form: the user's short time without seconds. "HH:mm:ss" gives "HH:mm",
// "h:mm:ss AP" gives "h:mm AP"; a pattern without hours or minutes gives "HH:mm".
std::string ClockPattern(const std::string& shortTimePattern);

// "dddd, d MMMM yyyy" gives "d MMMM yyyy"; "dddd, MMMM d, yyyy" gives "MMMM d, yyyy";
// "dddd d MMMM yy" gives "d MMMM yyyy". A pattern without a day, month or year gives
// "d MMMM yyyy".
std::string CaptionDatePattern(const std::string& longPattern);

}  // namespace mv
