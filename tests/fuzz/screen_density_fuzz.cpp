// SPDX-License-Identifier: MIT
// Any X resource text for density_scale. The scale is always finite and
// within 0.5 .. 4. When the input is one "Xft.dpi:" line whose value is made
// of plain characters, the scale is also checked against what the value
// says: a positive decimal number d gives d / 96 held to 0.5 .. 4, anything
// else gives 1.
#include "glui/imgui/backend.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Characters the resource manager passes through unchanged inside a value.
const char value_alphabet[] = "0123456789+-.eE \txXaAfFiInN,";

// The value as a plain reading of its text gives it: a decimal number
// (strtod, with its hexadecimal, "inf" and "nan" forms excluded), blanks
// around it allowed. False for anything else.
bool reads_as_decimal(const std::string &text, double *value)
{
    if (text.find_first_not_of("0123456789+-.eE \t") != std::string::npos)
        return false;
    const char *start = text.c_str();
    char *end = nullptr;
    double v = std::strtod(start, &end);
    if (end == start)
        return false;
    if (std::string(end).find_first_not_of(" \t") != std::string::npos)
        return false;
    *value = v;
    return true;
}

void fail(const std::string &resources, double scale, const char *why)
{
    std::fprintf(stderr, "screen_density_fuzz: \"%s\" gives %.17g: %s\n", resources.c_str(), scale,
                 why);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        // Raw text: anything at all, as a server could hand it over.
        std::string resources = in.ConsumeRemainingBytesAsString();
        double scale = density_scale(resources.c_str());
        if (!(scale >= 0.5 && scale <= 4.0))
            fail(resources, scale, "outside 0.5 .. 4");
        return 0;
    }
    std::string value;
    while (in.remaining_bytes() > 0 && value.size() < 40)
        value += value_alphabet[in.ConsumeIntegralInRange<size_t>(0, sizeof value_alphabet - 2)];
    // The resource manager drops the blanks before a value.
    std::string trimmed = value.substr(std::min(value.find_first_not_of(" \t"), value.size()));
    std::string resources = "Xft.dpi:\t" + value + "\n";
    double scale = density_scale(resources.c_str());
    double dpi = 0;
    double want = reads_as_decimal(trimmed, &dpi) && dpi > 0
                      ? std::fmin(std::fmax(dpi / 96.0, 0.5), 4.0)
                      : 1.0;
    if (scale != want)
        fail(resources, scale, ("expected " + std::to_string(want)).c_str());
    return 0;
}
