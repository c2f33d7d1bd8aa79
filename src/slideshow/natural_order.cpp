#include "slideshow/natural_order.h"

#include <algorithm>
#include <cctype>

namespace mv::slides {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
char folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// <0, 0 or >0, like strcmp, ignoring case and reading digit runs as numbers of any length.
int naturalCompare(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            size_t ie = i, je = j;
            while (ie < a.size() && isDigit(a[ie])) ++ie;
            while (je < b.size() && isDigit(b[je])) ++je;
            size_t is = i, js = j;  // leading zeros do not make a number larger
            while (is + 1 < ie && a[is] == '0') ++is;
            while (js + 1 < je && b[js] == '0') ++js;
            if (ie - is != je - js) return ie - is < je - js ? -1 : 1;
            const int c = a.compare(is, ie - is, b, js, je - js);
            if (c != 0) return c;
            i = ie;
            j = je;
            continue;
        }
        const char ca = folded(a[i]), cb = folded(b[j]);
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

std::vector<std::string> levels(const std::string& path) {
    std::vector<std::string> parts(1);
    for (char c : path) {
        if (c == '/' || c == '\\')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

}  // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
    const int c = naturalCompare(a, b);
    return c != 0 ? c < 0 : a < b;
}

bool NaturalPathLess(const std::string& a, const std::string& b) {
    const std::vector<std::string> la = levels(a), lb = levels(b);
    for (size_t k = 0; k < la.size() && k < lb.size(); ++k) {
        // A folder's own pictures come before those of its subfolders.
        const bool aLast = k + 1 == la.size(), bLast = k + 1 == lb.size();
        if (aLast != bLast) return aLast;
        if (la[k] != lb[k]) return NaturalLess(la[k], lb[k]);
    }
    return la.size() < lb.size();
}

void SortNaturally(std::vector<std::string>& paths) { std::sort(paths.begin(), paths.end(), NaturalPathLess); }

}  // namespace mv::slides
