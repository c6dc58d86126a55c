// SPDX-License-Identifier: MIT
// fft1 at n = 64 and fft2 at 64 x 64 beside FFTW's planned in-place
// transforms of the same size (FFTW_MEASURE), timed in alternating batches
// within one benchmark so that the ratios survive a noisy machine. FFTW runs
// twice: on our split layout (two arrays of doubles) and on its own
// interleaved layout, usually its fastest.
//
// Every timed call first copies the same input into the arrays it transforms
// in place (a forward transform repeated on its own output would overflow);
// that copy is timed alone as well and taken off every figure. Counters, per
// call: ours_us, fftw_split_us, fftw_inter_us, copy_us; ratio_split and
// ratio_inter = ours / FFTW. The transform_pair row times our copying
// transform as the step uses it, without a separate copy, against the same
// FFTW figures (copy included there). The straightforward rows time the
// transform written directly from its description (a cosine and sine per
// twiddle and call), to show what the twiddle tables save. --lanes=N caps
// the vector lanes of our 64-point transforms (lanes_main.cpp).
//
// BM_first_call_tables times the twiddle pairs a first transform fills
// before it starts: those a 64-point transform reads (63 per direction),
// which are all fieldgrid's first press waits for, beside every pair the
// tables hold (1023 per direction), which the first transform of any length
// filled before the tables were filled by length: pairs64_us, pairs_all_us
// per fill, and ratio = pairs64 / pairs_all.
#include "fieldgrid/fft_private.h"
#include "tests/fft_reference.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

using bench_clock = std::chrono::steady_clock;

void fill_random(double *x, std::size_t count, unsigned seed)
{
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    for (std::size_t k = 0; k < count; ++k)
        x[k] = dist(gen);
}

double seconds_of(void (*fn)(void *), void *arg, int calls)
{
    const auto start = bench_clock::now();
    for (int i = 0; i < calls; ++i)
        fn(arg);
    return std::chrono::duration<double>(bench_clock::now() - start).count();
}

// Everything one size needs: input, the arrays transformed in place, and
// FFTW's plans.
struct Setup {
    int n = 0;            // points per side
    int rank = 1;         // 1: fft1, 2: fft2
    std::size_t size = 0; // n or n * n
    std::vector<double> in_re, in_im, re, im;
    fftw_complex *inter_in = nullptr, *inter = nullptr;
    fftw_plan split_plan = nullptr, inter_plan = nullptr;
};

void make_setup(Setup &s, int n, int rank)
{
    s.n = n;
    s.rank = rank;
    s.size = rank == 1 ? (std::size_t)n : (std::size_t)n * n;
    s.in_re.resize(s.size);
    s.in_im.resize(s.size);
    s.re.resize(s.size);
    s.im.resize(s.size);
    s.inter_in = fftw_alloc_complex(s.size);
    s.inter = fftw_alloc_complex(s.size);
    fftw_iodim dims[2] = {{n, n, n}, {n, 1, 1}};
    fftw_iodim *d = rank == 1 ? dims + 1 : dims;
    // FFTW_MEASURE overwrites the arrays while planning, so fill them after.
    s.split_plan = fftw_plan_guru_split_dft(rank, d, 0, nullptr, s.re.data(), s.im.data(),
                                            s.re.data(), s.im.data(), FFTW_MEASURE);
    int dims_inter[2] = {n, n};
    s.inter_plan = fftw_plan_dft(rank, dims_inter, s.inter, s.inter, FFTW_FORWARD, FFTW_MEASURE);
    fill_random(s.in_re.data(), s.size, 1);
    fill_random(s.in_im.data(), s.size, 2);
    for (std::size_t k = 0; k < s.size; ++k) {
        s.inter_in[k][0] = s.in_re[k];
        s.inter_in[k][1] = s.in_im[k];
    }
}

void free_setup(Setup &s)
{
    fftw_destroy_plan(s.split_plan);
    fftw_destroy_plan(s.inter_plan);
    fftw_free(s.inter_in);
    fftw_free(s.inter);
}

void copy_split(Setup &s)
{
    std::memcpy(s.re.data(), s.in_re.data(), s.size * sizeof(double));
    std::memcpy(s.im.data(), s.in_im.data(), s.size * sizeof(double));
}

void done(Setup &s)
{
    benchmark::DoNotOptimize(s.re.data());
    benchmark::DoNotOptimize(s.inter);
    benchmark::ClobberMemory();
}

void run_copy(void *arg)
{
    Setup &s = *static_cast<Setup *>(arg);
    copy_split(s);
    done(s);
}

void run_ours(void *arg)
{
    Setup &s = *static_cast<Setup *>(arg);
    copy_split(s);
    if (s.rank == 2)
        fft2(s.re.data(), s.im.data(), s.n, s.n, 0);
    else
        fft1(s.re.data(), s.im.data(), s.n, 0, 0);
    done(s);
}

void run_transform_pair(void *arg)
{
    Setup &s = *static_cast<Setup *>(arg);
    transform_pair(s.in_re.data(), s.in_im.data(), s.re.data(), s.im.data(), 0);
    done(s);
}

void run_straightforward(void *arg)
{
    Setup &s = *static_cast<Setup *>(arg);
    copy_split(s);
    if (s.rank == 2)
        reference_fft2(s.re.data(), s.im.data(), s.n, s.n, 0);
    else
        reference_fft1(s.re.data(), s.im.data(), s.n, 0);
    done(s);
}

void run_fftw_split(void *arg)
{
    Setup &s = *static_cast<Setup *>(arg);
    copy_split(s);
    fftw_execute(s.split_plan);
    done(s);
}

void run_fftw_inter(void *arg)
{
    Setup &s = *static_cast<Setup *>(arg);
    std::memcpy(s.inter, s.inter_in, s.size * sizeof(fftw_complex));
    fftw_execute(s.inter_plan);
    done(s);
}

// One iteration times a batch of each contender in turn. With net set, the
// copy's time is taken off every contender.
void compare(benchmark::State &state, int rank, void (*ours)(void *), bool net)
{
    Setup s;
    make_setup(s, (int)state.range(0), rank);
    const int batch = rank == 1 ? 256 : 4;
    double t_ours = 0, t_split = 0, t_inter = 0, t_copy = 0;
    for (auto _ : state) {
        t_copy += seconds_of(run_copy, &s, batch);
        t_ours += seconds_of(ours, &s, batch);
        t_split += seconds_of(run_fftw_split, &s, batch);
        t_inter += seconds_of(run_fftw_inter, &s, batch);
    }
    if (net) {
        t_ours -= t_copy;
        t_split -= t_copy;
        t_inter -= t_copy;
    }
    const double calls = (double)state.iterations() * batch;
    state.counters["ours_us"] = 1e6 * t_ours / calls;
    state.counters["fftw_split_us"] = 1e6 * t_split / calls;
    state.counters["fftw_inter_us"] = 1e6 * t_inter / calls;
    state.counters["copy_us"] = 1e6 * t_copy / calls;
    state.counters["ratio_split"] = t_ours / t_split;
    state.counters["ratio_inter"] = t_ours / t_inter;
    free_setup(s);
}

void BM_fft1_vs_fftw(benchmark::State &state)
{
    compare(state, 1, run_ours, true);
}
void BM_fft2_vs_fftw(benchmark::State &state)
{
    compare(state, 2, run_ours, true);
}
void BM_transform_pair_vs_fftw(benchmark::State &state)
{
    compare(state, 2, run_transform_pair, false);
}
void BM_fft1_straightforward_vs_fftw(benchmark::State &state)
{
    compare(state, 1, run_straightforward, true);
}
void BM_fft2_straightforward_vs_fftw(benchmark::State &state)
{
    compare(state, 2, run_straightforward, true);
}

// Fills the pairs a transform of *(int *)arg points reads, as its first call
// does.
void run_fill_pairs(void *arg)
{
    const int n = *static_cast<int *>(arg);
    for (int h = 1; 2 * h <= n; h *= 2)
        fft_fill_stage_pairs(h);
}

void BM_first_call_tables(benchmark::State &state)
{
    int lane_points = fft_lane_points, all_points = fft_table_max;
    const int batch = 16;
    double t_lane = 0, t_all = 0;
    for (auto _ : state) {
        t_lane += seconds_of(run_fill_pairs, &lane_points, batch);
        t_all += seconds_of(run_fill_pairs, &all_points, batch);
    }
    const double calls = (double)state.iterations() * batch;
    state.counters["pairs64_us"] = 1e6 * t_lane / calls;
    state.counters["pairs_all_us"] = 1e6 * t_all / calls;
    state.counters["ratio"] = t_lane / t_all;
}

} // namespace

BENCHMARK(BM_fft1_vs_fftw)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_fft2_vs_fftw)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_transform_pair_vs_fftw)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_fft1_straightforward_vs_fftw)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_fft2_straightforward_vs_fftw)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_first_call_tables)->Unit(benchmark::kMicrosecond);
