#pragma once
// The text of the settings file: INI sections of key=value lines, with escapes for what a line
// cannot hold. Pure text, shared by every store that keeps its settings in such a file.
//
// People edit this file by hand and with other tools, so it is read the way the platform's
// own INI reading reads one (a byte-order mark, any line end, names in any case and with
// blanks inside the brackets), and a save changes only the lines it must: every other byte,
// comments and lines it cannot make sense of included, stays as it was.
#include <cstddef>
#include <cstdint>
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

// The file is parsed once, into the places of its section headers and key lines only: a
// reader's cost grows with the file's size, never with a copy of every line.
class File {
public:
    // Texts up to kMaxText bytes; a longer one, or an edit that would make one, throws
    // std::length_error.
    static constexpr size_t kMaxText = 0xFFFFFFFFu;

    explicit File(std::string text);

    // The value of `key` in `section`; the last of equal keys wins. Nothing when missing.
    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    // Replaces the value in the line that value() reads, or adds the key at the end of its
    // section, or the section at the end of the file.
    void set(const std::string& section, const std::string& key, const std::string& value);
    const std::string& text() const { return text_; }

private:
    // Byte offsets into text_. A name runs from its first to its last character that is not a
    // blank, still escaped.
    struct Header {
        uint32_t line, nameFrom, nameTo;
        uint32_t end;  // where the next line opening with '[' starts, or the end of the text
    };
    struct Entry {
        uint32_t nameFrom, nameTo, valueFrom, valueTo;
        uint32_t header;  // index into headers_
    };
    bool named(uint32_t from, uint32_t to, const std::string& name) const;
    int lastEntry(const std::string& section, const std::string& key) const;
    int lastHeader(const std::string& section) const;
    std::string newLineEnd() const;
    // Puts `bytes` in place of text_[from, to) and moves every offset behind it.
    void splice(size_t from, size_t to, const std::string& bytes);

    std::string text_;
    size_t bodyFrom_ = 0;  // past a byte-order mark
    std::vector<Header> headers_;
    std::vector<Entry> entries_;  // in the order of the file
};

}  // namespace ini

}  // namespace mv
