// fft1 at n = 64 and fft2 at 64 x 64 beside FFTW's planned transforms of the
// same size, timed in alternating batches within one benchmark so that the
// ratio ours / FFTW survives a noisy machine. Every timed call starts from the
// same input: ours copies it in first (as transform_pair does), FFTW reads it
// out of place. FFTW runs twice: on our split layout (two arrays of doubles)
// and on its own interleaved layout, usually its fastest.
//
// Counters: ours_us, fftw_split_us, fftw_inter_us per call; ratio_split and
// ratio_inter = ours / FFTW. The straightforward rows time the transform
// written directly from its description (a cosine and sine per twiddle and
// call), to show what the twiddle tables save.
#include "fieldgrid/fft.h"
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

// Everything one size needs: input, our output, and FFTW's plans and arrays.
struct Setup {
    int n = 0;            // points per side
    int rank = 1;         // 1: fft1, 2: fft2
    std::size_t size = 0; // n or n * n
    std::vector<double> in_re, in_im, out_re, out_im, split_re, split_im;
    fftw_complex *inter_in = nullptr, *inter_out = nullptr;
    fftw_plan split_plan = nullptr, inter_plan = nullptr;
};

void make_setup(Setup &s, int n, int rank)
{
    s.n = n;
    s.rank = rank;
    s.size = rank == 1 ? (std::size_t)n : (std::size_t)n * n;
    s.in_re.resize(s.size);
    s.in_im.resize(s.size);
    s.out_re.resize(s.size);
    s.out_im.resize(s.size);
    s.split_re.resize(s.size);
    s.split_im.resize(s.size);
    s.inter_in = fftw_alloc_complex(s.size);
    s.inter_out = fftw_alloc_complex(s.size);
    fftw_iodim dims[2] = {{n, n, n}, {n, 1, 1}};
    fftw_iodim *d = rank == 1 ? dims + 1 : dims;
    // FFTW_MEASURE overwrites the arrays while planning, so fill them after.
    s.split_plan = fftw_plan_guru_split_dft(rank, d, 0, nullptr, s.in_re.data(), s.in_im.data(),
                                            s.split_re.data(), s.split_im.data(), FFTW_MEASURE);
    int dims_inter[2] = {n, n};
    s.inter_plan =
        fftw_plan_dft(rank, dims_inter, s.inter_in, s.inter_out, FFTW_FORWARD, FFTW_MEASURE);
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
    fftw_free(s.inter_out);
}

void run_ours(void *arg)
{
    Setup &s = *static_cast<Setup *>(arg);
    if (s.rank == 2) {
        transform_pair(s.in_re.data(), s.in_im.data(), s.out_re.data(), s.out_im.data(), 0);
    } else {
        std::memcpy(s.out_re.data(), s.in_re.data(), s.size * sizeof(double));
        std::memcpy(s.out_im.data(), s.in_im.data(), s.size * sizeof(double));
        fft1(s.out_re.data(), s.out_im.data(), s.n, 0, 0);
    }
    benchmark::DoNotOptimize(s.out_re.data());
    benchmark::ClobberMemory();
}

void run_straightforward(void *arg)
{
    Setup &s = *static_cast<Setup *>(arg);
    std::memcpy(s.out_re.data(), s.in_re.data(), s.size * sizeof(double));
    std::memcpy(s.out_im.data(), s.in_im.data(), s.size * sizeof(double));
    if (s.rank == 2)
        reference_fft2(s.out_re.data(), s.out_im.data(), s.n, s.n, 0);
    else
        reference_fft1(s.out_re.data(), s.out_im.data(), s.n, 0);
    benchmark::DoNotOptimize(s.out_re.data());
    benchmark::ClobberMemory();
}

void run_fftw_split(void *arg)
{
    Setup &s = *static_cast<Setup *>(arg);
    fftw_execute(s.split_plan);
    benchmark::DoNotOptimize(s.split_re.data());
    benchmark::ClobberMemory();
}

void run_fftw_inter(void *arg)
{
    Setup &s = *static_cast<Setup *>(arg);
    fftw_execute(s.inter_plan);
    benchmark::DoNotOptimize(s.inter_out);
    benchmark::ClobberMemory();
}

// One iteration times a batch of each contender in turn.
void compare(benchmark::State &state, int rank, void (*ours)(void *))
{
    Setup s;
    make_setup(s, (int)state.range(0), rank);
    const int batch = rank == 1 ? 256 : 4;
    double t_ours = 0, t_split = 0, t_inter = 0;
    for (auto _ : state) {
        t_ours += seconds_of(ours, &s, batch);
        t_split += seconds_of(run_fftw_split, &s, batch);
        t_inter += seconds_of(run_fftw_inter, &s, batch);
    }
    const double calls = (double)state.iterations() * batch;
    state.counters["ours_us"] = 1e6 * t_ours / calls;
    state.counters["fftw_split_us"] = 1e6 * t_split / calls;
    state.counters["fftw_inter_us"] = 1e6 * t_inter / calls;
    state.counters["ratio_split"] = t_ours / t_split;
    state.counters["ratio_inter"] = t_ours / t_inter;
    free_setup(s);
}

void BM_fft1_vs_fftw(benchmark::State &state)
{
    compare(state, 1, run_ours);
}
void BM_fft2_vs_fftw(benchmark::State &state)
{
    compare(state, 2, run_ours);
}
void BM_fft1_straightforward_vs_fftw(benchmark::State &state)
{
    compare(state, 1, run_straightforward);
}
void BM_fft2_straightforward_vs_fftw(benchmark::State &state)
{
    compare(state, 2, run_straightforward);
}

} // namespace

BENCHMARK(BM_fft1_vs_fftw)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_fft2_vs_fftw)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_fft1_straightforward_vs_fftw)->Arg(64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_fft2_straightforward_vs_fftw)->Arg(64)->Unit(benchmark::kMicrosecond);
