#pragma once
// The text of the settings file: INI sections of key=value lines, with escapes for what a line
// cannot hold. Pure text, shared by every store that keeps its settings in such a file.
//
// People edit this file by hand and with other tools, so it is read the way the platform's
// own INI reading reads one (a byte-order mark, any line end, names in any case and with
// blanks inside the brackets), and a save changes only the lines it must: every other byte,
// comments and lines it cannot make sense of included, stays as it was.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mv {

namespace ini {

// Escapes what an INI line cannot hold (line breaks, control bytes, '\\', '=' and brackets in
// names, blanks at the ends of values) so that every text reads back unchanged.
std::string escape(const std::string& text, bool isName);
std::string unescape(const std::string& text);

// Whether two section or key names name the same thing: ASCII letters in any case.
bool sameName(const std::string& a, const std::string& b);

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

}  // namespace ini

}  // namespace mv
