// SPDX-License-Identifier: MIT
// metropolis_sweep against a straightforward reference sweep (modulo
// neighbours, the same draws and acceptance rule), in nanoseconds per attempt.
// The "ratio" benchmark times both on alternate sweeps of one run and reports
// ours / reference, which holds up on a busy machine better than two runs.
#include "common/random_draw.h"
#include "spingrid/lattice.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>

namespace {

int ref_spins[50][50];

void reference_sweep(int T)
{
    const int L = 50;
    for (int k = 0; k < L * L; k++) {
        int i = rand15() % L;
        int j = rand15() % L;
        double u = rand15() / 32767.0;
        int sum = ref_spins[(i + L - 1) % L][j] + ref_spins[(i + 1) % L][j] +
                  ref_spins[i][(j + 1) % L] + ref_spins[i][(j + L - 1) % L];
        int dE = 2 * ref_spins[i][j] * sum;
        if (std::exp(-double(dE) / T) >= u)
            ref_spins[i][j] = -ref_spins[i][j];
    }
}

void start_lattices()
{
    srand(42);
    randomize_spins();
    for (int i = 0; i < 50; i++)
        for (int j = 0; j < 50; j++)
            ref_spins[i][j] = spins[i][j];
}

// Seconds per attempt, printed with an SI prefix (29.6n is 29.6 ns).
void per_attempt(benchmark::State &state)
{
    state.counters["per_attempt"] =
        benchmark::Counter(double(state.iterations()) * 2500,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_metropolis_sweep(benchmark::State &state)
{
    start_lattices();
    int T = int(state.range(0));
    for (auto _ : state) {
        metropolis_sweep(T);
        benchmark::ClobberMemory();
    }
    per_attempt(state);
}
BENCHMARK(BM_metropolis_sweep)->DenseRange(1, 4);

void BM_reference_sweep(benchmark::State &state)
{
    start_lattices();
    int T = int(state.range(0));
    for (auto _ : state) {
        reference_sweep(T);
        benchmark::ClobberMemory();
    }
    per_attempt(state);
}
BENCHMARK(BM_reference_sweep)->DenseRange(1, 4);

void BM_ratio_to_reference(benchmark::State &state)
{
    using clock = std::chrono::steady_clock;
    start_lattices();
    int T = int(state.range(0));
    double ours = 0, reference = 0;
    for (auto _ : state) {
        auto t0 = clock::now();
        metropolis_sweep(T);
        auto t1 = clock::now();
        reference_sweep(T);
        auto t2 = clock::now();
        ours += std::chrono::duration<double, std::nano>(t1 - t0).count();
        reference += std::chrono::duration<double, std::nano>(t2 - t1).count();
    }
    double attempts = double(state.iterations()) * 2500;
    state.counters["ours_ns_per_attempt"] = ours / attempts;
    state.counters["reference_ns_per_attempt"] = reference / attempts;
    state.counters["ratio"] = ours / reference;
}
BENCHMARK(BM_ratio_to_reference)->DenseRange(1, 4);

} // namespace
