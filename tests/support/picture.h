// SPDX-License-Identifier: MIT
// A window's pixels as the window tests read them, and rectangles in them.
// Plain data: nothing here talks to an X server.
#pragma once

#include <cstdint>
#include <vector>

// Stands in for pixels that lie off the screen, which cannot be read.
constexpr std::uint32_t off_screen_pixel = 0xff000000u;

// A window's pixels as 0xRRGGBB values, row by row from the top-left corner;
// off_screen_pixel where the window extends past the screen's edges.
struct picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
};

// A rectangle in window coordinates.
struct box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The pixel at (x, y), 0 <= x < width, 0 <= y < height.
std::uint32_t pixel_at(const picture &p, int x, int y);

// The part b of p, which b must lie within.
picture crop(const picture &p, const box &b);

bool same_picture(const picture &a, const picture &b);

// FNV-1a hash of size and pixels, for counting distinct pictures.
std::uint64_t picture_hash(const picture &p);
