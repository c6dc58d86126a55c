// SPDX-License-Identifier: MIT
#include "glui/core/spinner_value.h"

#include "glui/glui.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char *const blanks = " \t";
const char *const digits = "0123456789";

// Digits after the point of a number written as "%g" writes it, "1.5e-05"
// included, and at least one, for the tenth a step adds.
int decimal_places(const char *text)
{
    const char *point = std::strchr(text, '.');
    const char *exponent = std::strpbrk(text, "eE");
    int fraction = point != nullptr ? static_cast<int>(std::strspn(point + 1, digits)) : 0;
    int places = fraction - (exponent ? std::atoi(exponent + 1) : 0);
    // A float has nothing below 1e-45; more places could not change it.
    return places < 1 ? 1 : places > 60 ? 60 : places;
}

} // namespace

bool read_number_text(const char *text, double *value)
{
    if (text == nullptr)
        return false;
    const char *number = text + std::strspn(text, blanks);
    const char *p = number + (*number == '+' || *number == '-');
    size_t whole = std::strspn(p, digits);
    p += whole;
    size_t fraction = *p == '.' ? std::strspn(++p, digits) : 0;
    p += fraction;
    if (whole + fraction == 0)
        return false;
    if (*p == 'e' || *p == 'E') {
        p += p[1] == '+' || p[1] == '-' ? 2 : 1;
        size_t exponent = std::strspn(p, digits);
        if (exponent == 0)
            return false;
        p += exponent;
    }
    const char *end = p;
    if (end[std::strspn(end, blanks)] != '\0')
        return false;
    // The syntax check above is stricter than strtod, which would also take
    // "inf", "nan" and hexadecimal; strtod only converts what passed it.
    char *parsed_end = nullptr;
    double v = std::strtod(number, &parsed_end);
    if (parsed_end != end)
        return false;
    *value = v;
    return true;
}

double limit_spinner_value(double value, int data_type, int limit_type, double low, double high)
{
    bool is_int = data_type == GLUI_SPINNER_INT;
    double type_low = is_int ? static_cast<double>(INT_MIN) : -static_cast<double>(FLT_MAX);
    double type_high = is_int ? static_cast<double>(INT_MAX) : static_cast<double>(FLT_MAX);
    if (is_int) {
        low = std::ceil(low);
        high = std::floor(high);
    }
    low = std::fmax(low, type_low);
    high = std::fmin(high, type_high);
    if (std::isnan(value))
        value = limit_type == GLUI_LIMIT_NONE ? 0.0 : low;
    if (limit_type == GLUI_LIMIT_CLAMP && low <= high) {
        value = std::fmin(std::fmax(value, low), high);
    } else if (limit_type == GLUI_LIMIT_WRAP && low <= high) {
        if (value < low)
            value = high;
        else if (value > high)
            value = low;
    }
    return std::fmin(std::fmax(value, type_low), type_high);
}

bool committed_spinner_value(const char *text, int data_type, int limit_type, double low,
                             double high, double *value)
{
    double v = 0.0;
    if (!read_number_text(text, &v))
        return false;
    if (data_type == GLUI_SPINNER_INT && std::isfinite(v) && v != std::floor(v))
        return false;
    *value = limit_spinner_value(v, data_type, limit_type, low, high);
    return true;
}

void format_spinner_value(double value, int data_type, char *text, int size)
{
    if (data_type == GLUI_SPINNER_INT) {
        std::snprintf(text, static_cast<size_t>(size), "%d", static_cast<int>(value));
        return;
    }
    float stored = static_cast<float>(value);
    // Nine significant digits always round-trip a float; fewer are tried
    // first so that the field shows "2.25", not "2.25000000".
    for (int digits = 1; digits <= 9; digits++) {
        std::snprintf(text, static_cast<size_t>(size), "%.*g", digits, static_cast<double>(stored));
        if (std::strtof(text, nullptr) == stored)
            return;
    }
}

double stepped_spinner_value(double value, int data_type, int direction)
{
    if (data_type == GLUI_SPINNER_INT)
        return value + direction;
    char shown[32];
    format_spinner_value(value, data_type, shown, sizeof shown);
    // The binary sum lies far closer to the decimal sum than a float can
    // tell apart; rounded to the shown places it is the decimal sum, which
    // strtod then reads as it reads typed text.
    double sum = std::strtod(shown, nullptr) + 0.1 * direction;
    char text[128];
    std::snprintf(text, sizeof text, "%.*f", decimal_places(shown), sum);
    double stepped = std::strtod(text, nullptr);
    return stepped == 0.0 ? 0.0 : stepped; // no "-0" from 0.1 - 0.1
}

void quote_user_text(const char *text, char *quoted, int size)
{
    if (size <= 0)
        return;
    const char *start = text + std::strspn(text, blanks);
    std::size_t length = std::strlen(start);
    while (length > 0 && std::strchr(blanks, start[length - 1]) != nullptr)
        length--;
    const int most_characters = 24;
    auto continues = [&](std::size_t i) {
        return (static_cast<unsigned char>(start[i]) & 0xc0) == 0x80;
    };
    std::size_t end = 0;
    for (int characters = 0; characters < most_characters && end < length; characters++) {
        std::size_t next = end + 1;
        while (next < length && next - end < 4 && continues(next))
            next++;
        end = next;
    }
    const char *ellipsis = end < length ? u8"\u2026" : "";
    std::snprintf(quoted, static_cast<size_t>(size), "%.*s%s", static_cast<int>(end), start,
                  ellipsis);
}
