// SPDX-License-Identifier: MIT
#include "tests/step_runs.h"

#include "common/random_draw.h"
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"
#include "tests/step_reference.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The draws come from a generator of the tests' own, so that the start does
// not depend on the C library's rand().
std::uint32_t lcg_state = 0;
int lcg_draw()
{
    lcg_state = lcg_state * 1103515245u + 12345u;
    return static_cast<int>((lcg_state >> 16) & 0x7fff);
}

// The reference's copy of the field, stepped beside the program's.
reference_field reference;

// Where the program's state first differs from the reference's, or "" when
// every bit agrees.
std::string first_difference()
{
    if (step_count != reference.step_count)
        return "step_count " + std::to_string(step_count) + ", reference " +
               std::to_string(reference.step_count);
    const struct {
        const char *name;
        const double *ours, *theirs;
    } arrays[] = {{"field_re", field_re, reference.field_re},
                  {"field_im", field_im, reference.field_im},
                  {"spec_re", spec_re, reference.spec_re},
                  {"spec_im", spec_im, reference.spec_im}};
    for (const auto &a : arrays)
        for (int k = 0; k < grid_cells; ++k)
            if (std::memcmp(&a.ours[k], &a.theirs[k], sizeof(double)) != 0) {
                char text[120];
                std::snprintf(text, sizeof text, "%s[%d] is %a, the reference's %a", a.name, k,
                              a.ours[k], a.theirs[k]);
                return text;
            }
    return "";
}

} // namespace

void start_from_seed(std::uint32_t seed, int first_step)
{
    lcg_state = seed;
    random_source = lcg_draw;
    randomize_field();
    random_source = rand15;
    grid_to_field(field_re);
    std::fill(field_im, field_im + grid_cells, 0.0);
    step_count = first_step;
    std::copy(field_re, field_re + grid_cells, reference.field_re);
    std::fill(reference.field_im, reference.field_im + grid_cells, 0.0);
    reference.step_count = first_step;
}

testing::AssertionResult run_steps(int count)
{
    for (int s = 0; s < count; ++s) {
        advance_one_step(0);
        reference_advance(&reference);
        const std::string difference = first_difference();
        if (!difference.empty())
            return testing::AssertionFailure() << "after step " << step_count << " (of the run's "
                                               << count << "): " << difference;
    }
    return testing::AssertionSuccess();
}
