#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

namespace mv {

std::vector<std::string> Platform::argumentList() {
    std::vector<std::string> list;
    const std::string line = commandLine();
    size_t i = 0;
    while (i < line.size()) {
        const size_t end = line.find(' ', i);
        const size_t stop = end == std::string::npos ? line.size() : end;
        if (stop > i) list.push_back(line.substr(i, stop - i));
        i = stop + 1;
    }
    return list;
}

std::string Platform::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}

void Platform::report(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

namespace {

constexpr const char* kMonths[] = {"January", "February", "March", "April", "May", "June", "July",
                                   "August", "September", "October", "November", "December"};
constexpr const char* kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// Sakamoto's method: 0 is Sunday.
int weekday(int y, int m, int d) {
    static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (m < 3) y -= 1;
    return (y + y / 4 - y / 100 + y / 400 + t[(m - 1) % 12] + d) % 7;
}

std::string twoDigits(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

}  // namespace

std::string Platform::formatDate(const std::string& pattern, int year, int month, int day) {
    if (month < 1 || month > 12) return {};
    std::string out;
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'') {
            size_t j = i + 1;
            for (; j < pattern.size(); ++j) {
                if (pattern[j] != '\'') out += pattern[j];
                else if (j + 1 < pattern.size() && pattern[j + 1] == '\'') out += pattern[++j];
                else break;
            }
            if (j == i + 1) out += '\'';
            i = j + 1;
            continue;
        }
        size_t n = 1;
        while (i + n < pattern.size() && pattern[i + n] == c) ++n;
        if (c == 'd') {
            out += n == 1 ? std::to_string(day) : n == 2 ? twoDigits(day) : n == 3 ? std::string(kDays[weekday(year, month, day)], 3) : kDays[weekday(year, month, day)];
        } else if (c == 'M') {
            out += n == 1 ? std::to_string(month) : n == 2 ? twoDigits(month) : n == 3 ? std::string(kMonths[month - 1], 3) : kMonths[month - 1];
        } else if (c == 'y') {
            out += n <= 2 ? twoDigits(year % 100) : std::to_string(year);
        } else {
            out += pattern.substr(i, n);
        }
        i += n;
    }
    return out;
}

std::string Platform::formatTime(const std::string& pattern, int hour, int minute) {
    std::string out;
    for (size_t i = 0; i < pattern.size();) {
        size_t n = 1;
        while (i + n < pattern.size() && pattern[i + n] == pattern[i]) ++n;
        const char c = pattern[i];
        const int h12 = hour % 12 == 0 ? 12 : hour % 12;
        if (c == 'H') out += n >= 2 ? twoDigits(hour) : std::to_string(hour);
        else if (c == 'h') out += n >= 2 ? twoDigits(h12) : std::to_string(h12);
        else if (c == 'm') out += n >= 2 ? twoDigits(minute) : std::to_string(minute);
        else out += pattern.substr(i, n);
        i += n;
    }
    return out;
}

}  // namespace mv

