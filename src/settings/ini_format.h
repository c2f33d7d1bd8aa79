#pragma once
// The text of the settings file: INI sections of key=value lines, with escapes for what a line
// cannot hold. Pure text, shared by every store that keeps its settings in such a file.
#include <string>
#include <utility>
#include <vector>

namespace mv {

namespace ini {

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};
using Document = std::vector<Section>;

// Escapes what an INI line cannot hold (line breaks, control bytes, '\\', '=' and brackets in
// names, blanks at the ends of values) so that every text reads back unchanged.
std::string escape(const std::string& text, bool isName);
std::string unescape(const std::string& text);
// Reads what it can; lines it cannot make sense of are skipped.
Document parse(const std::string& text);
std::string format(const Document& doc);

}  // namespace ini

}  // namespace mv
