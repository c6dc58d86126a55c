// SPDX-License-Identifier: MIT
#include "tests/support/grid_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Position of a pixel centre in cell units along one axis (0 .. n+2) and
// whether it lies at least a pixel from every cell boundary.
double cell_units(int n, int extent, double centre, bool *clear)
{
    double u = centre * (n + 2) / extent;
    *clear = std::fabs(u - std::round(u)) * extent / (n + 2) >= 1.0;
    return u;
}

// How far, in pixels, a coordinate in cell units lies outside the span of
// the cells (1 .. n+1); 0 inside.
double outside_by(int n, int extent, double u)
{
    return std::max({0.0, 1 - u, u - (n + 1)}) * extent / (n + 2);
}

// A colour as #rrggbb, for messages.
std::string hex(std::uint32_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(c));
    return text;
}

} // namespace

grid_part grid_part_at(int n, int width, int height, int x, int y, int *i, int *j)
{
    bool clear_x, clear_y;
    double u = cell_units(n, width, x + 0.5, &clear_x);
    // Window rows count down from the top, grid rows up from the bottom.
    double v = cell_units(n, height, height - y - 0.5, &clear_y);
    double out = std::max(outside_by(n, width, u), outside_by(n, height, v));
    if (out > 0)
        return out >= 1.0 ? grid_margin : grid_edge;
    if (!clear_x || !clear_y)
        return grid_edge;
    *i = static_cast<int>(std::floor(u)) - 1;
    *j = static_cast<int>(std::floor(v)) - 1;
    return grid_cell;
}

void grid_cell_centre(int n, int width, int height, int i, int j, int *x, int *y)
{
    *x = static_cast<int>(std::floor((i + 1.5) * width / (n + 2)));
    *y = static_cast<int>(std::floor(height - (j + 1.5) * height / (n + 2)));
}

::testing::AssertionResult read_grid(const picture &p, int n, std::vector<std::uint32_t> *colours)
{
    if (p.width <= 0 || p.height <= 0)
        return ::testing::AssertionFailure() << "no picture";
    colours->assign(static_cast<std::size_t>(n) * n, 0);
    for (int i = 0; i < n; i++)
        for (int j = 0; j < n; j++) {
            int x, y;
            grid_cell_centre(n, p.width, p.height, i, j, &x, &y);
            (*colours)[static_cast<std::size_t>(i) * n + j] = pixel_at(p, x, y);
        }
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++) {
            const std::uint32_t c = pixel_at(p, x, y);
            int i = 0, j = 0;
            const grid_part part = grid_part_at(n, p.width, p.height, x, y, &i, &j);
            if (c == off_screen_pixel || part == grid_edge)
                continue;
            if (part == grid_margin && c != 0xffffffu)
                return ::testing::AssertionFailure()
                       << "margin pixel (" << x << ", " << y << ") is " << hex(c);
            const std::uint32_t centre = (*colours)[static_cast<std::size_t>(i) * n + j];
            if (part == grid_cell && c != centre)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") of cell (" << i << ", " << j << ") is "
                       << hex(c) << ", its centre " << hex(centre);
        }
    return ::testing::AssertionSuccess();
}
