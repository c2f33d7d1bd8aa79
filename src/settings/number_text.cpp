#include "number_text.h"

namespace mv {

double LeadingNumber(const std::string&) { return 0; }
int16_t ParseInt16(const std::string&) { return 0; }
int32_t ParseInt32(const std::string&) { return 0; }
std::string IntText(long long v) { return std::to_string(v); }
std::string NumberText(double v) { return std::to_string(v); }
std::string TrimBlanks(const std::string& t) {
    const auto b = t.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return t.substr(b, t.find_last_not_of(' ') - b + 1);
}

}  // namespace mv
