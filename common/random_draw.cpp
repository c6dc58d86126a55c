// SPDX-License-Identifier: MIT
#include "common/random_draw.h"

#include <climits>
#include <cstdlib>

static_assert(RAND_MAX == 32767 || RAND_MAX == INT_MAX,
              "rand15 expects a 15-bit or a 31-bit rand()");

int rand15()
{
    // The high bits of glibc's additive generator are its best ones, and
    // 2^31 / 2^15 is whole, so the shift keeps the draw exactly uniform.
    if (RAND_MAX == 32767)
        return rand();
    return rand() >> 16;
}

int (*random_source)() = rand15;

int random_draw()
{
    return random_source();
}
