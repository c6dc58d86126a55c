// SPDX-License-Identifier: MIT
// fieldgrid's caption numbers (see page_exports.h). The linker sends the
// viewer's calls of advance_one_step through noted_step (--wrap), so that
// the page hears of every step and the caption can give the alpha the step
// ran with, whatever the spinner shows since.
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"
#include "web/page_exports.h"

#include <emscripten/emscripten.h>

#include <cmath>

// The C++ names of advance_one_step as the linker's --wrap renames them.
void real_advance_one_step(int value) __asm__("__real__Z16advance_one_stepi");
void noted_step(int value) __asm__("__wrap__Z16advance_one_stepi");

static bool stepped = false;
static float step_alpha = 0.0f;
static double numbers[caption_numbers];

void noted_step(int value)
{
    // The step reads alpha once and nothing changes it meanwhile: every
    // callback runs to its end before the next.
    step_alpha = alpha;
    real_advance_one_step(value);
    stepped = true;
    tell_page_of_step();
}

extern "C" EMSCRIPTEN_KEEPALIVE double *web_caption_numbers()
{
    int above = 0;
    bool not_a_number = false;
    double least = HUGE_VAL, greatest = -HUGE_VAL;
    for (int i = 0; i < grid_side; i++)
        for (int j = 0; j < grid_side; j++) {
            const double v = display_grid[i][j];
            above += v > 0.0;
            not_a_number = not_a_number || std::isnan(v);
            least = std::fmin(least, v);
            greatest = std::fmax(greatest, v);
        }
    // fmin and fmax pass NaN over; a grid holding one has no range to tell.
    if (not_a_number)
        least = greatest = NAN;
    numbers[0] = step_count;
    numbers[1] = step_count * dt;
    numbers[2] = stepped ? step_alpha : alpha;
    numbers[3] = above;
    numbers[4] = grid_cells;
    numbers[5] = least;
    numbers[6] = greatest;
    return numbers;
}
