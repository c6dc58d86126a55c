// SPDX-License-Identifier: MIT
// What the run's statistics add to a step, natively, once the run is long:
// a sweep at temperature 2 beside the update of the statistics with its e
// and m, after 10^5 rows already added (sweep_us, update_us, ratio = update
// / sweep); the summary the page reads, at 10^5 rows (summary_us); and the
// field's step beside its growth measurement (step_us, growth_us, ratio).
// The two of each pair alternate in one run, so that their ratio holds up on
// a busy machine.
#include "common/random_draw.h"
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"
#include "measure/growth_rates.h"
#include "measure/run_statistics.h"
#include "spingrid/lattice.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>

namespace {

using clock_type = std::chrono::steady_clock;
using micro = std::chrono::duration<double, std::micro>;

run_statistics stats;
growth_state growth;

// The lattice's energy and magnetisation per spin, as the page measures them.
void measure_lattice(double *e, double *m)
{
    const int L = lattice_size;
    long sum = 0, bonds = 0;
    for (int i = 0; i < L; i++)
        for (int j = 0; j < L; j++) {
            sum += spins[i][j];
            bonds += spins[i][j] * (spins[(i + 1) % L][j] + spins[i][(j + 1) % L]);
        }
    *m = static_cast<double>(sum) / (L * L);
    *e = -static_cast<double>(bonds) / (L * L);
}

// 10^5 rows like a run's at temperature 2 (correlated noise about its
// averages), without the 10^5 sweeps that would take seconds.
void fill_long_run()
{
    spin_stats_start(&stats);
    std::mt19937_64 generator(1);
    std::normal_distribution<double> normal;
    double e = 0.0, m = 0.0;
    for (long t = 0; t < 100000; t++) {
        e = 0.8 * e + 0.6 * normal(generator);
        m = 0.9 * m + 0.44 * normal(generator);
        spin_stats_add(&stats, -1.746 + 0.0085 * e, 0.911 + 0.01 * m);
    }
}

void BM_statistics_update_beside_sweep(benchmark::State &state)
{
    srand(1);
    lattice_size = lattice_max;
    randomize_spins();
    fill_long_run();
    micro sweep{0}, update{0};
    for (auto _ : state) {
        const auto start = clock_type::now();
        metropolis_sweep(2);
        const auto middle = clock_type::now();
        double e, m;
        measure_lattice(&e, &m);
        const auto measured = clock_type::now();
        spin_stats_add(&stats, e, m);
        const auto end = clock_type::now();
        sweep += middle - start;
        update += end - measured;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["sweep_us"] = sweep.count() / n;
    state.counters["update_us"] = update.count() / n;
    state.counters["ratio"] = update.count() / sweep.count();
}
BENCHMARK(BM_statistics_update_beside_sweep)->Iterations(5000);

void BM_statistics_summary_at_1e5_rows(benchmark::State &state)
{
    fill_long_run();
    spin_summary summary;
    for (auto _ : state) {
        spin_stats_summarise(&stats, 2500, 2.0, &summary);
        benchmark::DoNotOptimize(summary);
    }
}
BENCHMARK(BM_statistics_summary_at_1e5_rows)->Unit(benchmark::kMicrosecond);

void BM_growth_beside_step(benchmark::State &state)
{
    srand(1);
    randomize_field();
    grid_to_field(field_re);
    step_count = 0;
    growth_start(&growth, 5);
    const growth_model m = {dt, alpha, stiffness, range_coeff};
    micro step{0}, measure{0};
    for (auto _ : state) {
        const auto start = clock_type::now();
        advance_one_step(0);
        const auto middle = clock_type::now();
        growth_add(&growth, spec_re, spec_im, step_count, &m);
        const auto end = clock_type::now();
        step += middle - start;
        measure += end - middle;
        // Keep the field small and the comparison going.
        if (step_count == 20) {
            state.PauseTiming();
            srand(1);
            randomize_field();
            grid_to_field(field_re);
            step_count = 0;
            growth_start(&growth, 5);
            state.ResumeTiming();
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["step_us"] = step.count() / n;
    state.counters["growth_us"] = measure.count() / n;
    state.counters["ratio"] = measure.count() / step.count();
}
BENCHMARK(BM_growth_beside_step)->Iterations(2000);

} // namespace
