#include "settings/number_text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>

#include "platform/error.h"

namespace mv {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of s that reads as sign, digits, one point and an exponent;
// 0 when no digit is part of it.
size_t numberPrefix(const std::string& s, char point) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool digits = false;
    while (i < s.size() && isDigit(s[i])) { ++i; digits = true; }
    if (i < s.size() && s[i] == point) {
        size_t j = i + 1;
        bool fraction = false;
        while (j < s.size() && isDigit(s[j])) { ++j; fraction = true; }
        if (digits || fraction) { i = j; digits = true; }
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

// Reads a number prefix already checked by numberPrefix, with '.' as its point.
double readPrefix(std::string text) {
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: keep the sign, go to infinity or zero.
        const bool negative = !text.empty() && text[0] == '-';
        const auto e = text.find_first_of("eE");
        const bool hugeExponent = e != std::string::npos && text[e + 1] != '-';
        return hugeExponent ? (negative ? -HUGE_VAL : HUGE_VAL) : (negative ? -0.0 : 0.0);
    }
    return value;
}

char localePoint() {
    const std::lconv* lc = std::localeconv();
    return lc && lc->decimal_point && lc->decimal_point[0] ? lc->decimal_point[0] : '.';
}

double parseLocaleNumber(const std::string& text) {
    const auto b = text.find_first_not_of(' ');
    if (b == std::string::npos) throw PlatformError(ErrTypeMismatch, "Type mismatch");
    const std::string body = text.substr(b, text.find_last_not_of(' ') - b + 1);
    const char point = localePoint();
    if (numberPrefix(body, point) != body.size()) throw PlatformError(ErrTypeMismatch, "Type mismatch");
    std::string plain = body;
    for (char& c : plain)
        if (c == point) c = '.';
    return readPrefix(plain);
}

template <class Int>
Int parseRounded(const std::string& text) {
    const double value = parseLocaleNumber(text);
    // nearbyint rounds to even in the default rounding mode: 2.5 -> 2, 3.5 -> 4.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<Int>::max())))
        throw PlatformError(ErrOverflow, "Overflow");
    return static_cast<Int>(rounded);
}

}  // namespace

double LeadingNumber(const std::string& text) {
    std::string packed;
    packed.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') packed.push_back(c);
    const size_t n = numberPrefix(packed, '.');
    return n == 0 ? 0.0 : readPrefix(packed.substr(0, n));
}

int16_t ParseInt16(const std::string& text) { return parseRounded<int16_t>(text); }
int32_t ParseInt32(const std::string& text) { return parseRounded<int32_t>(text); }

std::string IntText(long long v) { return std::to_string(v); }

std::string NumberText(double v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v < 0 ? "-Inf" : "Inf";
    if (v == 0) return "0";
    // The shortest precision (up to 15 digits) that reproduces the 15-digit rounding of v.
    char buf[64];
    auto sci = [&](int precision) {
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, precision);
        return std::string(buf, r.ptr);
    };
    const std::string full = sci(14);
    const double target = readPrefix(full);
    std::string best = full;
    for (int p = 0; p < 14; ++p) {
        std::string candidate = sci(p);
        if (readPrefix(candidate) == target) { best = candidate; break; }
    }
    // Rebuild "d.ddde±x" as plain positional notation.
    const bool negative = best[0] == '-';
    if (negative) best.erase(0, 1);
    const auto e = best.find('e');
    const int exponent = std::stoi(best.substr(e + 1));
    std::string digits;
    for (size_t i = 0; i < e; ++i)
        if (isDigit(best[i])) digits.push_back(best[i]);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out;
    const int pointAt = exponent + 1;  // digits before the decimal point
    if (pointAt <= 0) {
        out = "0";
        out.push_back(localePoint());
        out.append(static_cast<size_t>(-pointAt), '0');
        out += digits;
    } else if (static_cast<size_t>(pointAt) >= digits.size()) {
        out = digits + std::string(static_cast<size_t>(pointAt) - digits.size(), '0');
    } else {
        out = digits.substr(0, static_cast<size_t>(pointAt));
        out.push_back(localePoint());
        out += digits.substr(static_cast<size_t>(pointAt));
    }
    return negative ? "-" + out : out;
}

std::string TrimBlanks(const std::string& t) {
    const auto b = t.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return t.substr(b, t.find_last_not_of(' ') - b + 1);
}

}  // namespace mv
