#pragma once
// The settings file's reader and editor as they first were, one object for every line of the
// file: slow and large on big files, but plain. The fuzz target holds the shipped one to it:
// for any text both must read the same values and make the same bytes from the same edits.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/ini_format.h"

namespace mv::fuzz::ini_reference {

using mv::ini::escape;
using mv::ini::sameName;
using mv::ini::unescape;

inline constexpr const char* kBlanks = " \t";

inline std::string trimBlanks(const std::string& s) {
    const auto b = s.find_first_not_of(kBlanks);
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(kBlanks) - b + 1);
}


class File {
public:
    explicit File(const std::string& text);

    // The value of `key` in `section`; the last of equal keys wins. Nothing when missing.
    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    // Replaces the value in the line that value() reads, or adds the key at the end of its
    // section, or the section at the end of the file.
    void set(const std::string& section, const std::string& key, const std::string& value);
    std::string text() const;

private:
    enum class Kind { Other, Header, Entry };
    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n", "\r" or "" for a last line without one
        Kind kind = Kind::Other;
        std::string name;  // the section's (Header) or the key's (Entry), unescaped
        int section = -1;  // index of the header line this line is under; -1 above the first
        size_t valueFrom = 0, valueTo = 0;  // the value's bytes in text (Entry)
    };
    int lastEntry(const std::string& section, const std::string& key) const;
    std::string newLineEnd() const;

    std::string bom_;
    std::vector<Line> lines_;
};


inline File::File(const std::string& text) {
    size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bom_ = text.substr(0, 3);
        start = 3;
    }
    int current = -1;
    while (start < text.size()) {
        Line line;
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        line.text = text.substr(start, end - start);
        size_t next = end;
        if (end < text.size()) next = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        line.end = text.substr(end, next - end);
        start = next;

        const std::string& t = line.text;
        const size_t first = t.find_first_not_of(kBlanks);
        if (first != std::string::npos && t[first] == '[') {
            const size_t last = t.find_last_not_of(kBlanks);
            // A header without its closing bracket starts no section, and what follows it
            // belongs to none until the next header.
            current = -1;
            if (last > first && t[last] == ']') {
                line.kind = Kind::Header;
                line.name = unescape(trimBlanks(t.substr(first + 1, last - first - 1)));
                current = static_cast<int>(lines_.size());
            }
        } else if (first != std::string::npos && t[first] != ';' && t[first] != '#' && current >= 0) {
            const size_t eq = t.find('=');
            if (eq != std::string::npos) {
                line.kind = Kind::Entry;
                line.name = unescape(trimBlanks(t.substr(0, eq)));
                const size_t from = t.find_first_not_of(kBlanks, eq + 1);
                line.valueFrom = from == std::string::npos ? t.size() : from;
                line.valueTo = from == std::string::npos ? t.size() : t.find_last_not_of(kBlanks) + 1;
            }
        }
        line.section = line.kind == Kind::Header ? -1 : current;
        lines_.push_back(std::move(line));
    }
}

inline int File::lastEntry(const std::string& section, const std::string& key) const {
    int found = -1;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        if (l.kind == Kind::Entry && sameName(l.name, key) && sameName(lines_[l.section].name, section))
            found = static_cast<int>(i);
    }
    return found;
}

inline std::optional<std::string> File::value(const std::string& section, const std::string& key) const {
    const int i = lastEntry(section, key);
    if (i < 0) return std::nullopt;
    const Line& l = lines_[i];
    return unescape(l.text.substr(l.valueFrom, l.valueTo - l.valueFrom));
}

inline std::string File::newLineEnd() const {
    for (const Line& l : lines_)
        if (!l.end.empty()) return l.end;
    return "\n";
}

inline void File::set(const std::string& section, const std::string& key, const std::string& value) {
    const std::string escaped = escape(value, false);
    if (const int i = lastEntry(section, key); i >= 0) {
        Line& l = lines_[i];
        l.text.replace(l.valueFrom, l.valueTo - l.valueFrom, escaped);
        l.valueTo = l.valueFrom + escaped.size();
        return;
    }
    const std::string nl = newLineEnd();
    Line entry;
    entry.kind = Kind::Entry;
    entry.name = key;
    entry.text = escape(key, true) + "=";
    entry.valueFrom = entry.text.size();
    entry.text += escaped;
    entry.valueTo = entry.text.size();
    entry.end = nl;

    int header = -1;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Header && sameName(lines_[i].name, section)) header = static_cast<int>(i);
    if (header >= 0) {
        // After the section's last line that is not blank, so that blank lines between it and
        // the next section stay where they are.
        size_t after = static_cast<size_t>(header);
        for (size_t i = after + 1; i < lines_.size() && lines_[i].section == header; ++i)
            if (lines_[i].text.find_first_not_of(kBlanks) != std::string::npos) after = i;
        if (lines_[after].end.empty()) lines_[after].end = nl;
        entry.section = header;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1), std::move(entry));
        for (size_t i = after + 2; i < lines_.size(); ++i)
            if (lines_[i].section > header) ++lines_[i].section;
        return;
    }
    if (!lines_.empty()) {
        if (lines_.back().end.empty()) lines_.back().end = nl;
        if (lines_.back().text.find_first_not_of(kBlanks) != std::string::npos) {
            Line blank;
            blank.end = nl;
            lines_.push_back(std::move(blank));
        }
    }
    Line head;
    head.kind = Kind::Header;
    head.name = section;
    // Built piece by piece: GCC 12 warns falsely (-Wrestrict) about the shorter forms.
    head.text.push_back('[');
    head.text += escape(section, true);
    head.text += ']';
    head.end = nl;
    lines_.push_back(std::move(head));
    entry.section = static_cast<int>(lines_.size()) - 1;
    lines_.push_back(std::move(entry));
}

inline std::string File::text() const {
    std::string out = bom_;
    for (const Line& l : lines_) {
        out += l.text;
        out += l.end;
    }
    return out;
}

}  // namespace mv::fuzz::ini_reference
