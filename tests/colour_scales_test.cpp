// SPDX-License-Identifier: MIT
// The colour scales a page can draw its grid in: the design's reds, and a
// scale that every eye tells apart.
#include "common/colour_scales.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Relative luminance (sRGB) of a colour as typical vision sees it (matrix
// null) or under a simulated colour vision deficiency of full severity:
// Machado, Oliveira and Fernandes (2009)'s matrices on linear RGB.
double luminance(const unsigned char *rgb, const double (*matrix)[3])
{
    double linear[3], seen[3];
    for (int k = 0; k < 3; k++) {
        const double c = rgb[k] / 255.0;
        linear[k] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    for (int k = 0; k < 3; k++) {
        seen[k] =
            matrix ? matrix[k][0] * linear[0] + matrix[k][1] * linear[1] + matrix[k][2] * linear[2]
                   : linear[k];
        seen[k] = std::fmin(1.0, std::fmax(0.0, seen[k]));
    }
    return 0.2126 * seen[0] + 0.7152 * seen[1] + 0.0722 * seen[2];
}

double contrast(double a, double b)
{
    return (std::fmax(a, b) + 0.05) / (std::fmin(a, b) + 0.05);
}

TEST(ColourScales, TheDesignsRedsAndAScaleEveryEyeTellsApart)
{
    const double protanopia[3][3] = {{0.152286, 1.052583, -0.204868},
                                     {0.114503, 0.786281, 0.099216},
                                     {-0.003882, -0.048116, 1.051998}};
    const double deuteranopia[3][3] = {{0.367322, 0.860646, -0.227968},
                                       {0.280085, 0.672501, 0.047413},
                                       {-0.011820, 0.042940, 0.968881}};
    const double tritanopia[3][3] = {{1.255528, -0.076749, -0.178779},
                                     {-0.078411, 0.930809, 0.147602},
                                     {0.004733, 0.691367, 0.303900}};
    const double(*visions[])[3] = {nullptr, protanopia, deuteranopia, tritanopia};
    unsigned char table[768];
    colour_scale_table(0, table);
    for (int r = 0; r < 256; r++)
        ASSERT_TRUE(table[3 * r] == r && table[3 * r + 1] == 0 && table[3 * r + 2] == 0) << r;
    // Black and red: 5.3:1 for typical vision, 3.3:1 under protanopia.
    EXPECT_NEAR(contrast(luminance(table, nullptr), luminance(table + 765, nullptr)), 5.25, 0.01);
    EXPECT_NEAR(contrast(luminance(table, protanopia), luminance(table + 765, protanopia)), 3.29,
                0.01);
    ASSERT_GE(colour_scale_count, 2);
    for (int scale = 1; scale < colour_scale_count; scale++) {
        colour_scale_table(scale, table);
        for (const auto *vision : visions) {
            // Luminance never falls from one colour to the next, and the
            // ends differ at least 7:1, whoever looks.
            for (int r = 0; r < 255; r++)
                ASSERT_LE(luminance(table + 3 * r, vision), luminance(table + 3 * r + 3, vision))
                    << colour_scales[scale].name << " at " << r;
            EXPECT_GE(contrast(luminance(table, vision), luminance(table + 765, vision)), 7.0)
                << colour_scales[scale].name;
        }
    }
}

} // namespace
