#include "settings/slideshow_text.h"

#include <algorithm>
#include <exception>
#include <string>

#include "settings/number_text.h"
#include "slideshow/show_timing.h"

namespace mv {

int IntervalFromText(const std::string& text) {
    try {
        return std::clamp<int>(ParseInt32(text), slides::kMinIntervalSeconds, slides::kMaxIntervalSeconds);
    } catch (const std::exception&) {
        // Beyond 32 bits is still a number: the far end of the range.
        const double n = LeadingNumber(text);
        const std::string t = TrimBlanks(text);
        if (!t.empty() && (t[0] == '-' || (t[0] >= '0' && t[0] <= '9')) && n != 0)
            return n < 0 ? slides::kMinIntervalSeconds : slides::kMaxIntervalSeconds;
        return slides::kDefaultIntervalSeconds;
    }
}

std::string IntervalNote(const std::string& text) {
    const std::string t = TrimBlanks(text);
    if (t.empty()) return {};
    const int used = IntervalFromText(t);
    try {
        if (ParseInt32(t) == used) return {};
    } catch (const std::exception&) {
    }
    return "an interval of '" + t + "' seconds cannot be used (2 to 3600); each picture stays " + std::to_string(used) + " s";
}

bool SwitchFromText(const std::string& text, bool fallback) {
    try {
        return ParseInt32(text) != 0;
    } catch (const std::exception&) {
        return fallback;
    }
}

std::string SwitchText(bool on) { return on ? "1" : "0"; }

}  // namespace mv
