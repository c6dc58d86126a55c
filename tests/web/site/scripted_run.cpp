// SPDX-License-Identifier: MIT
#include "tests/web/site/scripted_run.h"

#include "common/random_draw.h"

#include <chrono>
#include <cstdint>

static std::uint32_t scripted_state = 0;
static int (*source_before)() = rand15;

static int scripted_draw()
{
    scripted_state = scripted_state * 1103515245u + 12345u;
    return static_cast<int>((scripted_state >> 16) & 0x7fff);
}

void scripted_draws_begin(unsigned int seed)
{
    scripted_state = seed;
    if (random_source != scripted_draw)
        source_before = random_source;
    random_source = scripted_draw;
}

void scripted_draws_end()
{
    random_source = source_before;
}

double mean_microseconds(int count, void (*run)(int), int argument)
{
    auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < count; k++)
        run(argument);
    std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    return count > 0 ? took.count() / count : 0.0;
}
