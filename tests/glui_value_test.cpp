// SPDX-License-Identifier: MIT
// Reading, limiting and showing spinner values, and quoting typed text,
// without any window.
#include "glui/core/spinner_value.h"
#include "glui/glui.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

double committed_int(const char *text, bool *ok)
{
    double v = -123.0;
    *ok = committed_spinner_value(text, GLUI_SPINNER_INT, GLUI_LIMIT_CLAMP, 1, 4, &v);
    return v;
}

double committed_float(const char *text, bool *ok)
{
    double v = -123.0;
    *ok = committed_spinner_value(text, GLUI_SPINNER_FLOAT, GLUI_LIMIT_CLAMP, 1, 4, &v);
    return v;
}

} // namespace

TEST(ReadNumberText, AcceptsDecimalNumbersWithBlanksSignsAndExponents)
{
    struct {
        const char *text;
        double value;
    } cases[] = {{"3", 3},  {" 3 ", 3},    {"-3", -3},       {"+2.5", 2.5}, {".5", 0.5},
                 {"5.", 5}, {"1e3", 1000}, {"2.5E-1", 0.25}, {"007", 7},    {"\t-0.125", -0.125}};
    for (const auto &c : cases) {
        double v = 0;
        EXPECT_TRUE(read_number_text(c.text, &v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST(ReadNumberText, RefusesTextThatIsNotOneNumberAndLeavesTheValue)
{
    const char *bad[] = {"",    "   ", "abc",  "1..2",     "3x",   "x3",  "nan",
                         "NaN", "inf", "-inf", "infinity", "0x10", "1e",  "e5",
                         "-",   ".",   "+-1",  "1 2",      "1e+",  "--1", "1,5"};
    for (const char *text : bad) {
        double v = 42;
        EXPECT_FALSE(read_number_text(text, &v)) << '"' << text << '"';
        EXPECT_EQ(v, 42) << text;
    }
    double v = 42;
    EXPECT_FALSE(read_number_text(nullptr, &v));
}

TEST(ReadNumberText, NumberBeyondDoubleReadsAsInfinityOfItsSign)
{
    double v = 0;
    ASSERT_TRUE(read_number_text("1e400", &v));
    EXPECT_TRUE(std::isinf(v) && v > 0);
    ASSERT_TRUE(read_number_text("-1e400", &v));
    EXPECT_TRUE(std::isinf(v) && v < 0);
}

TEST(CommittedSpinnerValue, IntegerSpinnerClampsWholeNumbersIncludingHugeOnes)
{
    bool ok = false;
    EXPECT_EQ(committed_int("9", &ok), 4);
    EXPECT_TRUE(ok);
    EXPECT_EQ(committed_int("-3", &ok), 1);
    EXPECT_EQ(committed_int("3", &ok), 3);
    EXPECT_EQ(committed_int("2.0", &ok), 2);
    EXPECT_EQ(committed_int("1e30", &ok), 4);
    EXPECT_TRUE(ok);
    EXPECT_EQ(committed_int("99999999999", &ok), 4);
    EXPECT_TRUE(ok);
    EXPECT_EQ(committed_int("-99999999999", &ok), 1);
    EXPECT_EQ(committed_int("1e400", &ok), 4);
    EXPECT_TRUE(ok);
}

TEST(CommittedSpinnerValue, IntegerSpinnerRefusesFractionsAndNonNumbers)
{
    const char *bad[] = {"2.5", "3e-1", "0.999", "", "abc", "1..2", "3x", "nan", "inf"};
    for (const char *text : bad) {
        bool ok = true;
        EXPECT_EQ(committed_int(text, &ok), -123) << text;
        EXPECT_FALSE(ok) << text;
    }
}

TEST(CommittedSpinnerValue, FloatSpinnerClampsToItsRangeAndKeepsValuesInside)
{
    bool ok = false;
    EXPECT_EQ(committed_float("7", &ok), 4.0);
    EXPECT_EQ(committed_float("0.2", &ok), 1.0);
    EXPECT_EQ(committed_float("2.25", &ok), 2.25);
    EXPECT_EQ(committed_float("1e30", &ok), 4.0);
    EXPECT_EQ(committed_float("-1e400", &ok), 1.0);
    const char *bad[] = {"", "abc", "1..2", "3x", "nan", "-inf"};
    for (const char *text : bad) {
        EXPECT_EQ(committed_float(text, &ok), -123) << text;
        EXPECT_FALSE(ok) << text;
    }
}

TEST(LimitSpinnerValue, KeepsEveryResultRepresentableInTheLiveType)
{
    EXPECT_EQ(limit_spinner_value(1e30, GLUI_SPINNER_INT, GLUI_LIMIT_NONE, 0, 0), INT_MAX);
    EXPECT_EQ(limit_spinner_value(-INFINITY, GLUI_SPINNER_INT, GLUI_LIMIT_NONE, 0, 0), INT_MIN);
    EXPECT_EQ(limit_spinner_value(1e300, GLUI_SPINNER_FLOAT, GLUI_LIMIT_NONE, 0, 0), FLT_MAX);
    // Fractional limits of an integer spinner are rounded inwards.
    EXPECT_EQ(limit_spinner_value(0, GLUI_SPINNER_INT, GLUI_LIMIT_CLAMP, 1.5, 3.5), 2);
    EXPECT_EQ(limit_spinner_value(9, GLUI_SPINNER_INT, GLUI_LIMIT_CLAMP, 1.5, 3.5), 3);
}

TEST(LimitSpinnerValue, NanGivesTheLowLimitOrZeroWithoutLimits)
{
    for (int type : {GLUI_SPINNER_INT, GLUI_SPINNER_FLOAT}) {
        EXPECT_EQ(limit_spinner_value(NAN, type, GLUI_LIMIT_CLAMP, 2, 4), 2) << type;
        EXPECT_EQ(limit_spinner_value(NAN, type, GLUI_LIMIT_WRAP, 2, 4), 2) << type;
        EXPECT_EQ(limit_spinner_value(NAN, type, GLUI_LIMIT_NONE, 2, 4), 0) << type;
    }
    EXPECT_EQ(limit_spinner_value(NAN, GLUI_SPINNER_INT, GLUI_LIMIT_CLAMP, 1.5, 3.5), 2);
}

TEST(LimitSpinnerValue, WrapSendsValuesPastOneEndToTheOther)
{
    EXPECT_EQ(limit_spinner_value(5, GLUI_SPINNER_INT, GLUI_LIMIT_WRAP, 1, 4), 1);
    EXPECT_EQ(limit_spinner_value(0, GLUI_SPINNER_INT, GLUI_LIMIT_WRAP, 1, 4), 4);
    EXPECT_EQ(limit_spinner_value(3, GLUI_SPINNER_INT, GLUI_LIMIT_WRAP, 1, 4), 3);
}

TEST(FormatSpinnerValue, ShowsIntegersPlainAndFloatsInTheirShortestFaithfulForm)
{
    char text[64];
    format_spinner_value(3, GLUI_SPINNER_INT, text, sizeof text);
    EXPECT_STREQ(text, "3");
    format_spinner_value(-2147483648.0, GLUI_SPINNER_INT, text, sizeof text);
    EXPECT_STREQ(text, "-2147483648");
    struct {
        float value;
        const char *text;
    } shown[] = {{2.25f, "2.25"}, {1.5f, "1.5"}, {1.6f, "1.6"}, {0.1f, "0.1"}, {4.0f, "4"}};
    for (const auto &c : shown) {
        format_spinner_value(c.value, GLUI_SPINNER_FLOAT, text, sizeof text);
        EXPECT_STREQ(text, c.text);
    }
    // Whatever the float, the text reads back as exactly that float.
    float awkward[] = {1.0f / 3.0f, 3.4028235e38f, 1.17549435e-38f, 1e-45f, -7.000001f};
    for (float f : awkward) {
        format_spinner_value(f, GLUI_SPINNER_FLOAT, text, sizeof text);
        EXPECT_EQ(std::strtof(text, nullptr), f) << text;
    }
}

namespace {

// What the spinner stores for text typed plainly, without limits.
float typed_float(const char *text)
{
    double v = 0;
    EXPECT_TRUE(committed_spinner_value(text, GLUI_SPINNER_FLOAT, GLUI_LIMIT_NONE, 0, 0, &v));
    return static_cast<float>(v);
}

float stepped_float(float value, int direction)
{
    return static_cast<float>(stepped_spinner_value(value, GLUI_SPINNER_FLOAT, direction));
}

} // namespace

// A step adds a tenth to the number shown, in decimal: the float stored is
// the one typing the result stores, where adding 0.1 in binary would drift
// (0.2f + 0.1 is not 0.3f, nor 2.25f + 0.1 2.35f). The limits are applied
// afterwards, by the caller.
TEST(SteppedSpinnerValue, FloatStepsGiveWhatTypingTheDecimalResultGives)
{
    struct {
        float from;
        int direction;
        const char *typed;
    } cases[] = {{2.25f, +1, "2.35"}, {2.25f, -1, "2.15"},  {0.2f, +1, "0.3"},
                 {2.8f, -1, "2.7"},   {1.05f, -1, "0.95"},  {4.0f, +1, "4.1"},
                 {1.0f, -1, "0.9"},   {-0.05f, +1, "0.05"}, {1.5e-5f, +1, "0.100015"},
                 {1e30f, +1, "1e30"}};
    for (const auto &c : cases)
        EXPECT_EQ(stepped_float(c.from, c.direction), typed_float(c.typed))
            << c.from << (c.direction > 0 ? " up" : " down") << ", typed " << c.typed;
}

TEST(SteppedSpinnerValue, ThirteenTenthsUpAndDownFromOnePointFive)
{
    float v = 1.5f;
    for (int k = 0; k < 13; k++)
        v = stepped_float(v, +1);
    EXPECT_EQ(v, typed_float("2.8"));
    for (int k = 0; k < 13; k++)
        v = stepped_float(v, -1);
    EXPECT_EQ(v, 1.5f);
}

TEST(SteppedSpinnerValue, ZeroIsReachedWithoutAMinusSign)
{
    char text[32];
    for (float from : {0.1f, -0.1f}) {
        const double zero = stepped_spinner_value(from, GLUI_SPINNER_FLOAT, from > 0 ? -1 : +1);
        EXPECT_EQ(zero, 0.0) << from;
        EXPECT_FALSE(std::signbit(zero)) << from;
        format_spinner_value(zero, GLUI_SPINNER_FLOAT, text, sizeof text);
        EXPECT_STREQ(text, "0") << from;
    }
}

TEST(SteppedSpinnerValue, IntegerStepsAreOnePastTheLimitsToo)
{
    EXPECT_EQ(stepped_spinner_value(3, GLUI_SPINNER_INT, +1), 4);
    EXPECT_EQ(stepped_spinner_value(3, GLUI_SPINNER_INT, -1), 2);
    EXPECT_EQ(stepped_spinner_value(4, GLUI_SPINNER_INT, +1), 5);
    EXPECT_EQ(stepped_spinner_value(1, GLUI_SPINNER_INT, -1), 0);
    EXPECT_EQ(stepped_spinner_value(-1, GLUI_SPINNER_INT, +1), 0);
}

namespace {

std::string quote(const std::string &text)
{
    char quoted[quoted_text_size];
    quote_user_text(text.c_str(), quoted, sizeof quoted);
    return quoted;
}

std::string repeated(const char *character, int times)
{
    std::string text;
    for (int k = 0; k < times; k++)
        text += character;
    return text;
}

const char *const ellipsis = u8"\u2026";

} // namespace

TEST(QuoteUserText, TrimsBlanksAndCutsPast24CharactersOfAnyWidth)
{
    EXPECT_EQ(quote(" \t 2.5x \t"), "2.5x");
    EXPECT_EQ(quote(""), "");
    EXPECT_EQ(quote(" \t "), "");
    EXPECT_EQ(quote("a b"), "a b");
    // Characters of one, two, three and four bytes count alike.
    for (const char *c : {"x", u8"\u00e9", u8"\u20ac", u8"\U0001F600"}) {
        EXPECT_EQ(quote(repeated(c, 24)), repeated(c, 24)) << c;
        EXPECT_EQ(quote(repeated(c, 25)), repeated(c, 24) + ellipsis) << c;
        EXPECT_EQ(quote("  " + repeated(c, 24) + "  "), repeated(c, 24)) << c;
    }
    EXPECT_EQ(quote(repeated(u8"a\u00e9\u20ac\U0001F600", 7)),
              repeated(u8"a\u00e9\u20ac\U0001F600", 6) + ellipsis);
}

TEST(QuoteUserText, InvalidUtf8NeverTakesMoreThanFourBytesACharacter)
{
    // A lead byte followed by continuation bytes only, and stray ones.
    std::string odd = "\xc3" + std::string(200, '\x80');
    std::string quoted = quote(odd);
    EXPECT_EQ(quoted, odd.substr(0, 24 * 4) + ellipsis);
    EXPECT_EQ(quote(std::string(30, '\xff')), std::string(24, '\xff') + ellipsis);
    // A smaller buffer is cut, not overrun.
    char small[8];
    std::memset(small, '#', sizeof small);
    quote_user_text("abcdefghijk", small, 6);
    EXPECT_STREQ(small, "abcde");
    EXPECT_EQ(small[6], '#');
}
