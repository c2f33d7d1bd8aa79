#include "settings/ini_format.h"

namespace mv {

namespace {

const char* hexDigits = "0123456789ABCDEF";

std::string trimSpace(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

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

Document parse(const std::string& text) {
    Document doc;
    Section* current = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = trimSpace(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            if (line.back() != ']') { current = nullptr; continue; }
            const std::string name = unescape(line.substr(1, line.size() - 2));
            current = nullptr;
            for (auto& s : doc)
                if (s.name == name) current = &s;
            if (!current) current = &doc.emplace_back(Section{name, {}});
            continue;
        }
        const auto eq = line.find('=');
        if (!current || eq == std::string::npos) continue;
        const std::string key = unescape(trimSpace(line.substr(0, eq)));
        const std::string value = unescape(trimSpace(line.substr(eq + 1)));
        bool replaced = false;
        for (auto& [k, v] : current->entries)
            if (k == key) { v = value; replaced = true; }
        if (!replaced) current->entries.emplace_back(key, value);
    }
    return doc;
}

std::string format(const Document& doc) {
    std::string out;
    for (const auto& s : doc) {
        if (!out.empty()) out += "\n";
        out += '[';
        out += escape(s.name, true);
        out += "]\n";
        for (const auto& [k, v] : s.entries) {
            out += escape(k, true);
            out += '=';
            out += escape(v, false);
            out += '\n';
        }
    }
    return out;
}

}  // namespace ini

}  // namespace mv
