#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cmath>
#include <string>

#include "platform/error.h"
#include "settings/number_text.h"
#include "support/fake_platform.h"

using namespace mv;

namespace {

int errorOf(void (*f)(const std::string&), const std::string& text) {
    try {
        f(text);
    } catch (const PlatformError& e) {
        return e.number();
    }
    return 0;
}
void parse16(const std::string& t) { ParseInt16(t); }
void parse32(const std::string& t) { ParseInt32(t); }

// Switches LC_NUMERIC for one test and back again.
class NumericLocale {
public:
    explicit NumericLocale(const char* name) {
        const char* old = std::setlocale(LC_NUMERIC, nullptr);
        old_ = old ? old : "C";
        ok_ = std::setlocale(LC_NUMERIC, name) != nullptr;
    }
    ~NumericLocale() { std::setlocale(LC_NUMERIC, old_.c_str()); }
    bool ok() const { return ok_; }

private:
    std::string old_;
    bool ok_ = false;
};

}  // namespace

TEST(LeadingNumber, TakesTheLongestLeadingNumber) {
    EXPECT_EQ(LeadingNumber("12abc"), 12);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("-5"), -5);
    EXPECT_EQ(LeadingNumber("+7x"), 7);
    EXPECT_EQ(LeadingNumber("1x"), 1);
    EXPECT_EQ(LeadingNumber("3.25.7"), 3.25);  // one point only
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("5."), 5);
    EXPECT_EQ(LeadingNumber("."), 0);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber("2e3"), 2000);
    EXPECT_EQ(LeadingNumber("2e"), 2);    // an exponent needs digits
    EXPECT_EQ(LeadingNumber("2e+x"), 2);
    EXPECT_EQ(LeadingNumber("1,5"), 1);   // the comma is never a decimal point here
}

TEST(LeadingNumber, IgnoresBlanksTabsAndLineFeedsAnywhere) {
    EXPECT_EQ(LeadingNumber("  4 5 "), 45);
    EXPECT_EQ(LeadingNumber("\t1\n2"), 12);
    EXPECT_EQ(LeadingNumber("- 3"), -3);
    EXPECT_EQ(LeadingNumber("\r3"), 0);  // a carriage return is not ignored
}

TEST(LeadingNumber, HugeExponentsDoNotFail) {
    EXPECT_TRUE(std::isinf(LeadingNumber("1e999")));
    EXPECT_EQ(LeadingNumber("1e-999"), 0);
}

TEST(ParseInt, RoundsHalvesToEven) {
    EXPECT_EQ(ParseInt16("2.5"), 2);
    EXPECT_EQ(ParseInt16("3.5"), 4);
    EXPECT_EQ(ParseInt16("-2.5"), -2);
    EXPECT_EQ(ParseInt16("2.51"), 3);
    EXPECT_EQ(ParseInt32("0.5"), 0);
    EXPECT_EQ(ParseInt32("1.5"), 2);
}

TEST(ParseInt, AcceptsBlanksAroundButNothingElse) {
    EXPECT_EQ(ParseInt16(" 15 "), 15);
    EXPECT_EQ(ParseInt32("16777215"), 16777215);
    EXPECT_EQ(ParseInt32("-1"), -1);
    EXPECT_EQ(errorOf(parse32, "red"), ErrTypeMismatch);
    EXPECT_EQ(errorOf(parse16, "abc"), ErrTypeMismatch);
    EXPECT_EQ(errorOf(parse16, ""), ErrTypeMismatch);
    EXPECT_EQ(errorOf(parse16, "   "), ErrTypeMismatch);
    EXPECT_EQ(errorOf(parse16, "12abc"), ErrTypeMismatch);
    EXPECT_EQ(errorOf(parse16, "1 2"), ErrTypeMismatch);
    EXPECT_EQ(errorOf(parse16, "inf"), ErrTypeMismatch);
    EXPECT_EQ(errorOf(parse16, "nan"), ErrTypeMismatch);
}

TEST(ParseInt, RefusesValuesOutsideTheType) {
    EXPECT_EQ(errorOf(parse16, "40000"), ErrOverflow);
    EXPECT_EQ(ParseInt16("32767"), 32767);
    EXPECT_EQ(ParseInt16("-32768"), -32768);
    EXPECT_EQ(errorOf(parse16, "32767.5"), ErrOverflow);  // rounds to 32768
    EXPECT_EQ(ParseInt16("32767.4"), 32767);
    EXPECT_EQ(errorOf(parse16, "-32769"), ErrOverflow);
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(errorOf(parse32, "2147483648"), ErrOverflow);
    EXPECT_EQ(errorOf(parse32, "1e300"), ErrOverflow);
    EXPECT_EQ(errorOf(parse32, "1e999"), ErrOverflow);
}

#ifdef _WIN32
constexpr const char* kGerman = "de-DE";
#else
constexpr const char* kGerman = "de_DE.UTF-8";
#endif

// A German locale: the installed one, or on Linux one compiled into a temporary directory.
bool germanLocaleAvailable(const test::TempDir& dir) {
    if (std::setlocale(LC_NUMERIC, kGerman)) {
        std::setlocale(LC_NUMERIC, "C");
        return true;
    }
#ifdef _WIN32
    (void)dir;
    return false;
#else
    const std::string command = "localedef -i de_DE -f UTF-8 '" + dir.file("de_DE.UTF-8") + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    ::setenv("LOCPATH", dir.path().c_str(), 1);
    return true;
#endif
}

void forgetLocalePath() {
#ifndef _WIN32
    ::unsetenv("LOCPATH");
#endif
}

TEST(ParseInt, ReadsTheUsersDecimalSeparator) {
    test::TempDir dir;
    if (!germanLocaleAvailable(dir)) GTEST_SKIP() << "no German locale";
    NumericLocale german(kGerman);
    forgetLocalePath();
    if (!german.ok()) GTEST_SKIP() << "German locale not usable";
    EXPECT_EQ(ParseInt16("2,5"), 2);
    EXPECT_EQ(ParseInt16("3,5"), 4);
    EXPECT_EQ(NumberText(2.5), "2,5");
    EXPECT_EQ(LeadingNumber("2,5"), 2);  // LeadingNumber knows only the full stop
}

TEST(NumberText, ShortestTextWithoutExponentOrPoint) {
    EXPECT_EQ(NumberText(15), "15");
    EXPECT_EQ(NumberText(0), "0");
    EXPECT_EQ(NumberText(-3), "-3");
    EXPECT_EQ(NumberText(2.5), "2.5");
    EXPECT_EQ(NumberText(0.1), "0.1");
    EXPECT_EQ(NumberText(1e20), "100000000000000000000");
    EXPECT_EQ(NumberText(1.5e-7), "0.00000015");
    EXPECT_EQ(NumberText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(NumberText(123456789012345678.0), "123456789012346000");
    EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");  // 15 significant digits hide the binary noise
}

TEST(IntText, PlainDigitsAndMinus) {
    EXPECT_EQ(IntText(0), "0");
    EXPECT_EQ(IntText(16777215), "16777215");
    EXPECT_EQ(IntText(-32768), "-32768");
}

TEST(TrimBlanks, RemovesOnlyBlanksAtTheEnds) {
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimBlanks("   "), "");
}
