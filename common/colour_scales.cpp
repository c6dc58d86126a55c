// SPDX-License-Identifier: MIT
#include "common/colour_scales.h"

const colour_scale colour_scales[] = {
    {"design", "black\u2013red (design)", "black", "dark red", "red"},
    {"blue-yellow", "blue\u2013yellow (for every eye)", "dark blue", "grey", "yellow"},
};
const int colour_scale_count = sizeof colour_scales / sizeof colour_scales[0];

// Blue to yellow, after the scale known as cividis, its stops moved so that
// luminance never falls from one of the 256 colours to the next, for typical
// vision and under simulated protanopia, deuteranopia and tritanopia
// (Machado, Oliveira and Fernandes 2009), and rises about evenly in
// lightness; its ends differ 11.5:1 or more in luminance for each.
static const unsigned char blue_yellow[5][3] = {
    {0, 32, 76}, {67, 64, 124}, {111, 116, 128}, {192, 168, 117}, {255, 233, 69}};

void colour_scale_table(int scale, unsigned char *rgb)
{
    for (int r = 0; r < 256; r++) {
        unsigned char *c = rgb + 3 * r;
        if (scale != 1) {
            c[0] = static_cast<unsigned char>(r);
            c[1] = c[2] = 0;
            continue;
        }
        // Straight lines between the stops, 255 / 4 reds apart, rounded to
        // the nearest byte.
        const int stop = r * 4 / 255 < 3 ? r * 4 / 255 : 3;
        const double t = r * 4 / 255.0 - stop;
        for (int k = 0; k < 3; k++) {
            const double a = blue_yellow[stop][k], b = blue_yellow[stop + 1][k];
            c[k] = static_cast<unsigned char>(a + (b - a) * t + 0.5);
        }
    }
}
