// SPDX-License-Identifier: MIT
// What the page's record adds to a sweep at temperature 2: sweep_us,
// recorded_us, ratio = recorded / sweep.
#include "record_cost.h"
#include "spingrid/lattice.h"

namespace {

void BM_sweep_recorded_beside_sweep_alone(benchmark::State &state)
{
    time_record_cost(state, metropolis_sweep, 2, "sweep_us");
}
BENCHMARK(BM_sweep_recorded_beside_sweep_alone)->Iterations(5000);

} // namespace
