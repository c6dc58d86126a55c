// SPDX-License-Identifier: MIT
// What the page's record adds to a step of the field: advance_one_step alone
// beside the same step run as a page runs a burst's timer (page_timer), which
// measures the field and the wavenumber from the step's spectrum and stores
// the row. The two alternate in one run, so that their ratio holds up on a
// busy machine: step_us, recorded_us, ratio = recorded / step.
#include "fieldgrid/spectral_step.h"
#include "web/page/run_page.h"
#include "web/page/run_record.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

namespace {

void BM_step_recorded_beside_step_alone(benchmark::State &state)
{
    srand(1);
    restart_model();
    record_start(run_column_count);
    using clock = std::chrono::steady_clock;
    std::chrono::duration<double, std::micro> alone{0}, recorded{0};
    for (auto _ : state) {
        const auto start = clock::now();
        advance_one_step(0);
        const auto middle = clock::now();
        page_timer(advance_one_step, 0);
        const auto end = clock::now();
        alone += middle - start;
        recorded += end - middle;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["step_us"] = alone.count() / n;
    state.counters["recorded_us"] = recorded.count() / n;
    state.counters["ratio"] = recorded.count() / alone.count();
}
BENCHMARK(BM_step_recorded_beside_step_alone)->Iterations(2000);

} // namespace
