// SPDX-License-Identifier: MIT
// What the page's record adds to a sweep: metropolis_sweep alone beside the
// same sweep run as a page runs a burst's timer (page_timer), which counts
// it, measures the lattice's magnetisation and energy and stores the row.
// The two alternate in one run, so that their ratio holds up on a busy
// machine: sweep_us, recorded_us, ratio = recorded / sweep.
#include "spingrid/lattice.h"
#include "web/page/run_page.h"
#include "web/page/run_record.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

namespace {

void BM_sweep_recorded_beside_sweep_alone(benchmark::State &state)
{
    srand(1);
    restart_model();
    record_start(run_column_count);
    using clock = std::chrono::steady_clock;
    std::chrono::duration<double, std::micro> alone{0}, recorded{0};
    for (auto _ : state) {
        const auto start = clock::now();
        metropolis_sweep(2);
        const auto middle = clock::now();
        page_timer(metropolis_sweep, 2);
        const auto end = clock::now();
        alone += middle - start;
        recorded += end - middle;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["sweep_us"] = alone.count() / n;
    state.counters["recorded_us"] = recorded.count() / n;
    state.counters["ratio"] = recorded.count() / alone.count();
}
BENCHMARK(BM_sweep_recorded_beside_sweep_alone)->Iterations(5000);

} // namespace
