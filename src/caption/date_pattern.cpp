#include "caption/date_pattern.h"

#include <algorithm>
#include <cctype>

namespace mv {

namespace {

bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// Separators that belong to a removed weekday rather than to the fields around it.
bool separatorOnly(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == ',' || c == '.' || c == '-' || c == '/'; });
}

}  // namespace

std::vector<DatePatternPart> SplitDatePattern(const std::string& pattern) {
    std::vector<DatePatternPart> parts;
    auto literal = [&](const std::string& text) {
        if (text.empty()) return;
        if (!parts.empty() && !parts.back().field)
            parts.back().text += text;
        else
            parts.push_back({false, text});
    };
    size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            std::string text;
            ++i;
            for (; i < pattern.size(); ++i) {
                if (pattern[i] != '\'') {
                    text += pattern[i];
                } else if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
                    text += '\'';
                    ++i;
                } else {
                    break;
                }
            }
            ++i;  // past the closing quote
            // Two quotes in a row outside a quoted text are one quote.
            literal(text.empty() ? std::string("'") : text);
            continue;
        }
        if (isLetter(c)) {
            size_t j = i;
            while (j < pattern.size() && pattern[j] == c) ++j;
            parts.push_back({true, pattern.substr(i, j - i)});
            i = j;
            continue;
        }
        literal(std::string(1, c));
        ++i;
    }
    return parts;
}

std::string JoinDatePattern(const std::vector<DatePatternPart>& parts) {
    std::string out;
    for (const auto& part : parts) {
        if (part.field) {
            out += part.text;
            continue;
        }
        // Letters, quotes and any character beyond ASCII are quoted so that they stay text.
        const bool quote = std::any_of(part.text.begin(), part.text.end(), [](char c) {
            return isLetter(c) || c == '\'' || static_cast<unsigned char>(c) >= 0x80;
        });
        if (!quote) {
            out += part.text;
            continue;
        }
        out += '\'';
        for (char c : part.text) out += c == '\'' ? std::string("''") : std::string(1, c);
        out += '\'';
    }
    return out;
}

std::string ClockPattern(const std::string& shortTimePattern) {
    std::vector<DatePatternPart> parts = SplitDatePattern(shortTimePattern);
    for (size_t i = 0; i < parts.size();) {
        if (!(parts[i].field && parts[i].text[0] == 's')) {
            ++i;
            continue;
        }
        // The seconds go with the separator before them (":ss", ".ss"), and their fraction.
        parts.erase(parts.begin() + static_cast<long>(i));
        if (i > 0 && !parts[i - 1].field && (parts[i - 1].text == ":" || parts[i - 1].text == ".")) {
            parts.erase(parts.begin() + static_cast<long>(i - 1));
            --i;
        }
        if (i + 1 < parts.size() && !parts[i].field && parts[i].text == "." && parts[i + 1].field && parts[i + 1].text[0] == 'z')
            parts.erase(parts.begin() + static_cast<long>(i), parts.begin() + static_cast<long>(i + 2));
    }
    bool hours = false, minutes = false;
    for (const auto& part : parts) {
        if (part.field && (part.text[0] == 'h' || part.text[0] == 'H')) hours = true;
        if (part.field && part.text[0] == 'm') minutes = true;
    }
    if (!hours || !minutes) return "HH:mm";
    return JoinDatePattern(parts);
}

std::string CaptionDatePattern(const std::string& longPattern) {
    std::vector<DatePatternPart> parts = SplitDatePattern(longPattern);
    // The weekday goes, with the separator that tied it to the rest.
    for (size_t i = 0; i < parts.size();) {
        if (!(parts[i].field && parts[i].text[0] == 'd' && parts[i].text.size() >= 3)) {
            ++i;
            continue;
        }
        parts.erase(parts.begin() + static_cast<long>(i));
        if (i < parts.size() && !parts[i].field && separatorOnly(parts[i].text))
            parts.erase(parts.begin() + static_cast<long>(i));
        else if (i > 0 && !parts[i - 1].field && separatorOnly(parts[i - 1].text))
            parts.erase(parts.begin() + static_cast<long>(i - 1));
    }
    bool day = false, month = false, year = false;
    for (auto& part : parts) {
        if (!part.field) continue;
        if (part.text[0] == 'M') month = true;
        if (part.text[0] == 'y') part.text = "yyyy", year = true;
        if (part.text[0] == 'd') day = true;
    }
    if (!day || !month || !year) return "d MMMM yyyy";
    // What the weekday left at either end (a lone comma) goes too.
    while (!parts.empty() && !parts.front().field && separatorOnly(parts.front().text)) parts.erase(parts.begin());
    while (!parts.empty() && !parts.back().field && separatorOnly(parts.back().text)) parts.pop_back();
    return JoinDatePattern(parts);
}

}  // namespace mv
