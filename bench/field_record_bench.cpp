// SPDX-License-Identifier: MIT
// What the page's record adds to a step of the field (measuring it and the
// wavenumber from the step's spectrum): step_us, recorded_us, ratio =
// recorded / step.
#include "fieldgrid/spectral_step.h"
#include "record_cost.h"

namespace {

void BM_step_recorded_beside_step_alone(benchmark::State &state)
{
    time_record_cost(state, advance_one_step, 0, "step_us");
}
BENCHMARK(BM_step_recorded_beside_step_alone)->Iterations(2000);

} // namespace
