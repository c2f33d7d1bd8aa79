#pragma once
// Number texts of the settings and the dialog's number fields.
#include <cstdint>
#include <string>

namespace mv {

// The longest leading decimal number of a text (blanks, tabs and line feeds anywhere ignored),
// 0 when there is none: "12abc" -> 12, "abc" -> 0, "-5" -> -5.
double LeadingNumber(const std::string& text);
// A number in the user's locale rounded half to even ("2.5" -> 2, "3.5" -> 4). Throw
// PlatformError: ErrTypeMismatch for a text that is no number, ErrOverflow out of range.
int16_t ParseInt16(const std::string& text);
int32_t ParseInt32(const std::string& text);
// Decimal text of an integer: digits, a leading "-" for negatives, nothing else.
std::string IntText(long long value);
// Shortest text of a value with at most 15 significant digits, no exponent, no ".0";
// a fractional value uses the locale's decimal separator.
std::string NumberText(double value);

// The text with blanks (U+0020 only) removed from both ends; tabs stay.
std::string TrimBlanks(const std::string& text);

}  // namespace mv
