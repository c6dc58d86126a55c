// SPDX-License-Identifier: MIT
#include "tests/web/site/scripted_run.h"

#include "spingrid/lattice.h"

void scripted_spin_run(unsigned int seed, int sweeps, int T)
{
    scripted_draws_begin(seed);
    randomize_spins();
    for (int k = 0; k < sweeps; k++)
        metropolis_sweep(T);
    scripted_draws_end();
}

double time_sweeps(int count, int T)
{
    return mean_microseconds(count, metropolis_sweep, T);
}
