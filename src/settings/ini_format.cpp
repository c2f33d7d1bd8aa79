#include "settings/ini_format.h"

namespace mv {

namespace {

const char* hexDigits = "0123456789ABCDEF";

constexpr const char* kBlanks = " \t";

std::string trimBlanks(const std::string& s) {
    const auto b = s.find_first_not_of(kBlanks);
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(kBlanks) - b + 1);
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

namespace ini {

std::string escape(const std::string& text, bool isName) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool edgeBlank = c == ' ' && (i == 0 || i + 1 == text.size());
        const bool nameSpecial = isName && (c == '=' || c == '[' || c == ']' || c == ';' || c == '#');
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7F || edgeBlank || nameSpecial) {
            out += "\\x";
            out.push_back(hexDigits[c >> 4]);
            out.push_back(hexDigits[c & 0xF]);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

std::string unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) { out.push_back(text[i]); continue; }
        const char n = text[i + 1];
        if (n == '\\') { out.push_back('\\'); ++i; continue; }
        if (n == 'x' && i + 3 < text.size() && hexValue(text[i + 2]) >= 0 && hexValue(text[i + 3]) >= 0) {
            out.push_back(static_cast<char>(hexValue(text[i + 2]) * 16 + hexValue(text[i + 3])));
            i += 3;
            continue;
        }
        out.push_back('\\');  // not an escape we write: keep it as it stands
    }
    return out;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

File::File(const std::string& text) {
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

int File::lastEntry(const std::string& section, const std::string& key) const {
    int found = -1;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        if (l.kind == Kind::Entry && sameName(l.name, key) && sameName(lines_[l.section].name, section))
            found = static_cast<int>(i);
    }
    return found;
}

std::optional<std::string> File::value(const std::string& section, const std::string& key) const {
    const int i = lastEntry(section, key);
    if (i < 0) return std::nullopt;
    const Line& l = lines_[i];
    return unescape(l.text.substr(l.valueFrom, l.valueTo - l.valueFrom));
}

std::string File::newLineEnd() const {
    for (const Line& l : lines_)
        if (!l.end.empty()) return l.end;
    return "\n";
}

void File::set(const std::string& section, const std::string& key, const std::string& value) {
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

std::string File::text() const {
    std::string out = bom_;
    for (const Line& l : lines_) {
        out += l.text;
        out += l.end;
    }
    return out;
}

}  // namespace ini

}  // namespace mv
