// SPDX-License-Identifier: MIT
#include "tests/support/picture.h"

std::uint32_t pixel_at(const picture &p, int x, int y)
{
    return p.rgb[static_cast<std::size_t>(y) * p.width + x];
}

picture crop(const picture &p, const box &b)
{
    picture out;
    out.width = b.width;
    out.height = b.height;
    out.rgb.reserve(static_cast<std::size_t>(b.width) * b.height);
    for (int y = b.y; y < b.y + b.height; y++)
        for (int x = b.x; x < b.x + b.width; x++)
            out.rgb.push_back(pixel_at(p, x, y));
    return out;
}

bool same_picture(const picture &a, const picture &b)
{
    return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

std::uint64_t picture_hash(const picture &p)
{
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](std::uint32_t v) {
        for (int k = 0; k < 4; k++) {
            h ^= (v >> (8 * k)) & 0xff;
            h *= 1099511628211ull;
        }
    };
    mix(static_cast<std::uint32_t>(p.width));
    mix(static_cast<std::uint32_t>(p.height));
    for (std::uint32_t v : p.rgb)
        mix(v);
    return h;
}
