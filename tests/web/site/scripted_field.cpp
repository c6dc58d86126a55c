// SPDX-License-Identifier: MIT
#include "tests/web/site/scripted_run.h"

#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"

#include <algorithm>

void scripted_field_run(unsigned int seed, int first_steps, float new_alpha, int more_steps)
{
    scripted_draws_begin(seed);
    randomize_field();
    scripted_draws_end();
    grid_to_field(field_re);
    std::fill(field_im, field_im + 4096, 0.0);
    step_count = 0;
    alpha = 1.5f;
    for (int k = 0; k < first_steps; k++)
        advance_one_step(0);
    alpha = new_alpha;
    for (int k = 0; k < more_steps; k++)
        advance_one_step(0);
}

double time_field_steps(int count)
{
    return mean_microseconds(count, advance_one_step, 0);
}
