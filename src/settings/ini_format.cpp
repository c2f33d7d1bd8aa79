#include "settings/ini_format.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace mv {

namespace {

const char* hexDigits = "0123456789ABCDEF";

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

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// One line: its characters are [from, to), the next line starts at next.
struct Span {
    size_t from, to, next;
};

Span lineAt(const std::string& t, size_t from) {
    const char* d = t.data();
    const size_t n = t.size();
    size_t to = from;
    while (to < n && d[to] != '\n' && d[to] != '\r') ++to;
    size_t next = to;
    if (to < n) next = to + (d[to] == '\r' && to + 1 < n && d[to + 1] == '\n' ? 2 : 1);
    return {from, to, next};
}

// The first character of [from, to) that is not a blank; `to` when there is none.
size_t firstNonBlank(const std::string& t, size_t from, size_t to) {
    while (from < to && isBlank(t[from])) ++from;
    return from;
}

// One past the last character of [from, to) that is not a blank; `from` when there is none.
size_t pastLastNonBlank(const std::string& t, size_t from, size_t to) {
    while (to > from && isBlank(t[to - 1])) --to;
    return to;
}

uint32_t offset(size_t at) { return static_cast<uint32_t>(at); }

}  // namespace

File::File(std::string text) : text_(std::move(text)) {
    if (text_.size() > kMaxText) throw std::length_error("settings text too long");
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) bodyFrom_ = 3;
    int current = -1;
    for (size_t at = bodyFrom_; at < text_.size();) {
        const Span l = lineAt(text_, at);
        at = l.next;
        const size_t first = firstNonBlank(text_, l.from, l.to);
        if (first == l.to) continue;
        const char c = text_[first];
        if (c == '[') {
            // Any line opening with a bracket ends the section before it. A header without its
            // closing bracket starts none, and what follows it belongs to none until the next.
            if (current >= 0) headers_[static_cast<size_t>(current)].end = offset(l.from);
            current = -1;
            const size_t last = pastLastNonBlank(text_, first, l.to) - 1;
            if (last > first && text_[last] == ']') {
                const size_t nameFrom = firstNonBlank(text_, first + 1, last);
                headers_.push_back({offset(l.from), offset(nameFrom), offset(pastLastNonBlank(text_, nameFrom, last)), 0});
                current = static_cast<int>(headers_.size()) - 1;
            }
        } else if (c != ';' && c != '#' && current >= 0) {
            const void* eq = std::memchr(text_.data() + first, '=', l.to - first);
            if (!eq) continue;
            const size_t at = static_cast<size_t>(static_cast<const char*>(eq) - text_.data());
            const size_t valueFrom = firstNonBlank(text_, at + 1, l.to);
            entries_.push_back({offset(first), offset(pastLastNonBlank(text_, first, at)), offset(valueFrom),
                                offset(pastLastNonBlank(text_, valueFrom, l.to)), static_cast<uint32_t>(current)});
        }
    }
    if (current >= 0) headers_[static_cast<size_t>(current)].end = offset(text_.size());
}

bool File::named(uint32_t from, uint32_t to, const std::string& name) const {
    const size_t n = to - from;
    const char* d = text_.data() + from;
    if (std::memchr(d, '\\', n)) return sameName(unescape(std::string(d, n)), name);
    if (n != name.size()) return false;
    for (size_t i = 0; i < n; ++i)
        if (lowerAscii(d[i]) != lowerAscii(name[i])) return false;
    return true;
}

int File::lastEntry(const std::string& section, const std::string& key) const {
    for (size_t i = entries_.size(); i-- > 0;) {
        const Entry& e = entries_[i];
        const Header& h = headers_[e.header];
        if (named(e.nameFrom, e.nameTo, key) && named(h.nameFrom, h.nameTo, section)) return static_cast<int>(i);
    }
    return -1;
}

int File::lastHeader(const std::string& section) const {
    for (size_t i = headers_.size(); i-- > 0;)
        if (named(headers_[i].nameFrom, headers_[i].nameTo, section)) return static_cast<int>(i);
    return -1;
}

std::optional<std::string> File::value(const std::string& section, const std::string& key) const {
    const int i = lastEntry(section, key);
    if (i < 0) return std::nullopt;
    const Entry& e = entries_[static_cast<size_t>(i)];
    return unescape(text_.substr(e.valueFrom, e.valueTo - e.valueFrom));
}

std::string File::newLineEnd() const {
    for (size_t i = bodyFrom_; i < text_.size(); ++i) {
        if (text_[i] == '\n') return "\n";
        if (text_[i] == '\r') return i + 1 < text_.size() && text_[i + 1] == '\n' ? "\r\n" : "\r";
    }
    return "\n";
}

void File::splice(size_t from, size_t to, const std::string& bytes) {
    if (bytes.size() > kMaxText || text_.size() - (to - from) > kMaxText - bytes.size()) throw std::length_error("settings text too long");
    text_.replace(from, to - from, bytes);
    const uint32_t grown = offset(bytes.size()) - offset(to - from);  // modulo 2^32, as the offsets
    // Where a line or a section starts at `to`, it now starts behind the new bytes; a name or a
    // value that ends there still ends where it did.
    const auto later = [&](uint32_t& o) {
        if (o > to) o += grown;
    };
    const auto startsLater = [&](uint32_t& o) {
        if (o >= to) o += grown;
    };
    for (Header& h : headers_) {
        startsLater(h.line);
        later(h.nameFrom);
        later(h.nameTo);
        startsLater(h.end);
    }
    for (Entry& e : entries_) {
        startsLater(e.nameFrom);
        later(e.nameTo);
        later(e.valueFrom);
        later(e.valueTo);
    }
}

void File::set(const std::string& section, const std::string& key, const std::string& value) {
    const std::string escaped = escape(value, false);
    if (const int i = lastEntry(section, key); i >= 0) {
        Entry& e = entries_[static_cast<size_t>(i)];
        const size_t from = e.valueFrom;
        splice(from, e.valueTo, escaped);
        // As a fresh read of the text places it: an empty value at the end of its line.
        const size_t to = escaped.empty() ? firstNonBlank(text_, from, text_.size()) : from + escaped.size();
        e.valueFrom = offset(escaped.empty() ? to : from);
        e.valueTo = offset(to);
        return;
    }
    const std::string nl = newLineEnd();
    const std::string name = escape(key, true);
    std::string line = name;
    line += '=';
    line += escaped;
    line += nl;

    if (const int h = lastHeader(section); h >= 0) {
        // After the section's last line that is not blank, so that blank lines between it and
        // the next section stay where they are.
        Span last{};
        for (size_t at = headers_[static_cast<size_t>(h)].line; at < headers_[static_cast<size_t>(h)].end;) {
            const Span l = lineAt(text_, at);
            at = l.next;
            if (firstNonBlank(text_, l.from, l.to) != l.to) last = l;
        }
        const size_t at = last.next;
        // The file's last line, without a line end, gets one first.
        const size_t lineFrom = at + (last.next == last.to ? nl.size() : 0);
        splice(at, at, last.next == last.to ? nl + line : line);
        const Entry entry{offset(lineFrom), offset(lineFrom + name.size()), offset(lineFrom + name.size() + 1),
                          offset(lineFrom + name.size() + 1 + escaped.size()), static_cast<uint32_t>(h)};
        const auto place = std::upper_bound(entries_.begin(), entries_.end(), entry.nameFrom,
                                            [](uint32_t o, const Entry& e) { return o < e.nameFrom; });
        entries_.insert(place, entry);
        return;
    }

    // A new section at the end of the file, after a blank line.
    const size_t end = text_.size();
    std::string added;
    if (end > bodyFrom_) {
        size_t to = end;
        if (text_[end - 1] == '\n' || text_[end - 1] == '\r') {
            to = end - 1;
            if (text_[to] == '\n' && to > bodyFrom_ && text_[to - 1] == '\r') --to;
        } else {
            added += nl;
        }
        size_t from = to;
        while (from > bodyFrom_ && text_[from - 1] != '\n' && text_[from - 1] != '\r') --from;
        if (firstNonBlank(text_, from, to) != to) added += nl;
    }
    const size_t headerAt = end + added.size();
    const std::string sectionName = escape(section, true);
    // Built piece by piece: GCC 12 warns falsely (-Wrestrict) about the shorter forms.
    added += '[';
    added += sectionName;
    added += ']';
    added += nl;
    const size_t lineFrom = end + added.size();
    added += line;
    splice(end, end, added);
    for (Header& other : headers_)
        if (other.end == text_.size()) other.end = offset(headerAt);
    headers_.push_back({offset(headerAt), offset(headerAt + 1), offset(headerAt + 1 + sectionName.size()), offset(text_.size())});
    entries_.push_back({offset(lineFrom), offset(lineFrom + name.size()), offset(lineFrom + name.size() + 1),
                        offset(lineFrom + name.size() + 1 + escaped.size()), static_cast<uint32_t>(headers_.size() - 1)});
}

}  // namespace ini

}  // namespace mv
