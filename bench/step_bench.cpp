// SPDX-License-Identifier: MIT
// Time per field step, beside the same step built on FFTW's planned in-place
// transforms of its own interleaved layout (fftw_plan_dft_2d on fftw_complex,
// FFTW_MEASURE), written as a performance-minded user would: every pointwise
// pass in plain double arithmetic the compiler vectorizes, the 1/4096 of
// each inverse folded into the pass before it. One variant keeps the 4096
// factors exp(dt L(k)) while alpha, dt, stiffness and range_coeff stay the
// same, as the program does; the other evaluates them every step. The
// reference does not match our bits: it is the yardstick for speed only.
//
// BM_step_vs_fftw_kept_factors comes first, the figure to quote: our step
// and the kept-factor reference in turn. A burst runs one step per 100 ms
// timer, so 100 ms / (time per step) is how many overlapping bursts one core
// keeps up with. --lanes=N caps the FFT's vector lanes (lanes_main.cpp).
#include "common/random_draw.h"
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

namespace {

const double pi = 3.141592653589793;
constexpr int cells = 4096;

void start_field()
{
    srand(1);
    randomize_field();
    grid_to_field(field_re);
    step_count = 0;
}

// The reference: the same exponential predictor-corrector, its six 64 x 64
// transforms done in place in `work` by FFTW plans made once. The spectra
// are interleaved (re, im) pairs.
struct fftw_step {
    fftw_complex *work, *phi, *n1, *e_phi;
    fftw_plan fwd, bwd;
    double field[cells];
    int steps = 0;
    bool keep_factors = false;
    double factor[cells];
    double made_for[4] = {}; // alpha, dt, stiffness, range_coeff of factor[]
    bool made = false;
};

fftw_step *make_reference(bool keep_factors)
{
    auto *r = new fftw_step;
    r->keep_factors = keep_factors;
    r->work = fftw_alloc_complex(cells);
    r->phi = fftw_alloc_complex(cells);
    r->n1 = fftw_alloc_complex(cells);
    r->e_phi = fftw_alloc_complex(cells);
    r->fwd = fftw_plan_dft_2d(64, 64, r->work, r->work, FFTW_FORWARD, FFTW_MEASURE);
    r->bwd = fftw_plan_dft_2d(64, 64, r->work, r->work, FFTW_BACKWARD, FFTW_MEASURE);
    srand(1);
    for (double &v : r->field)
        v = 1.0 + 0.1 * random_draw() / 32767.0;
    return r;
}

void free_reference(fftw_step *r)
{
    fftw_destroy_plan(r->fwd);
    fftw_destroy_plan(r->bwd);
    fftw_free(r->work);
    fftw_free(r->phi);
    fftw_free(r->n1);
    fftw_free(r->e_phi);
    delete r;
}

double factor_of(int n)
{
    int a = n / 64 > 32 ? n / 64 - 64 : n / 64;
    int b = n % 64 > 32 ? n % 64 - 64 : n % 64;
    double k = 2 * pi / 64 * std::sqrt(double(a * a + b * b));
    double l = alpha - stiffness * k * k - range_coeff * (4 - 2 * pi * k);
    return std::exp(dt * l);
}

// work, which holds a spectrum already divided by 4096, becomes the
// transform of -alpha z^3 of its field, plus the source at time t.
void reference_nonlinear(fftw_step *r, double t)
{
    fftw_execute(r->bwd);
    double *w = r->work[0];
    const double a = alpha;
    for (int n = 0; n < cells; n++) {
        const double x = w[2 * n], y = w[2 * n + 1];
        w[2 * n] = -a * (x * x * x - 3 * x * y * y);
        w[2 * n + 1] = -a * (3 * x * x * y - y * y * y);
    }
    fftw_execute(r->fwd);
    const double source = feed_level - feed_decay * t;
    if (source > 0)
        w[0] += source;
}

void reference_step(fftw_step *r)
{
    const double t = r->steps * dt, scale = 1.0 / cells;
    double *w = r->work[0], *phi = r->phi[0], *n1 = r->n1[0], *e_phi = r->e_phi[0];
    for (int n = 0; n < cells; n++) {
        w[2 * n] = r->field[n];
        w[2 * n + 1] = 0;
    }
    fftw_execute(r->fwd);
    if (r->keep_factors) {
        const double now[4] = {alpha, dt, stiffness, range_coeff};
        if (!r->made || !std::equal(now, now + 4, r->made_for)) {
            for (int n = 0; n < cells; n++)
                r->factor[n] = factor_of(n);
            std::copy(now, now + 4, r->made_for);
            r->made = true;
        }
    } else {
        for (int n = 0; n < cells; n++)
            r->factor[n] = factor_of(n);
    }
    for (int n = 0; n < cells; n++) {
        const double f = r->factor[n];
        for (int part = 0; part < 2; part++) {
            const double v = w[2 * n + part];
            phi[2 * n + part] = v;
            e_phi[2 * n + part] = f * v;
            w[2 * n + part] = v * scale;
        }
    }
    reference_nonlinear(r, t);
    for (int i = 0; i < 2 * cells; i++) {
        n1[i] = w[i];
        phi[i] = e_phi[i] + dt * w[i];
        w[i] = phi[i] * scale;
    }
    reference_nonlinear(r, t + dt);
    for (int i = 0; i < 2 * cells; i++)
        w[i] = (e_phi[i] + dt / 2 * (n1[i] + w[i])) * scale;
    fftw_execute(r->bwd);
    for (int n = 0; n < cells; n++)
        r->field[n] = w[2 * n];
    r->steps++;
}

using bench_clock = std::chrono::steady_clock;

double seconds_since(bench_clock::time_point start)
{
    return std::chrono::duration<double>(bench_clock::now() - start).count();
}

// Our step and the kept-factor reference in turn, so that the ratio sees the
// same machine load. Counters, per step: ours_us, fftw_us, ratio = ours /
// FFTW's, bursts_per_core.
void BM_step_vs_fftw_kept_factors(benchmark::State &state)
{
    start_field();
    fftw_step *kept = make_reference(true);
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        auto t0 = bench_clock::now();
        advance_one_step(0);
        ours += seconds_since(t0);
        benchmark::DoNotOptimize(field_re[0]);
        t0 = bench_clock::now();
        reference_step(kept);
        theirs += seconds_since(t0);
        benchmark::DoNotOptimize(kept->field[0]);
    }
    const double steps = static_cast<double>(state.iterations());
    state.counters["ours_us"] = 1e6 * ours / steps;
    state.counters["fftw_us"] = 1e6 * theirs / steps;
    state.counters["ratio"] = ours / theirs;
    state.counters["bursts_per_core"] = 0.1 / (ours / steps);
    free_reference(kept);
}
BENCHMARK(BM_step_vs_fftw_kept_factors)->Unit(benchmark::kMicrosecond);

void BM_advance_one_step(benchmark::State &state)
{
    start_field();
    for (auto _ : state) {
        advance_one_step(0);
        benchmark::DoNotOptimize(field_re[0]);
    }
}
BENCHMARK(BM_advance_one_step)->Unit(benchmark::kMicrosecond);

void fftw_alone(benchmark::State &state, bool keep_factors)
{
    fftw_step *r = make_reference(keep_factors);
    for (auto _ : state) {
        reference_step(r);
        benchmark::DoNotOptimize(r->field[0]);
    }
    free_reference(r);
}

void BM_fftw_step_exp_every_step(benchmark::State &state)
{
    fftw_alone(state, false);
}
BENCHMARK(BM_fftw_step_exp_every_step)->Unit(benchmark::kMicrosecond);

void BM_fftw_step_kept_factors(benchmark::State &state)
{
    fftw_alone(state, true);
}
BENCHMARK(BM_fftw_step_kept_factors)->Unit(benchmark::kMicrosecond);

// The three steps in turn in one loop, so the ratios see the same machine
// load. Counters, per step: step_us (ours), fftw_exp_us, fftw_kept_us;
// ratio_exp and ratio_kept = ours / that reference.
void BM_step_ratio(benchmark::State &state)
{
    start_field();
    fftw_step *every = make_reference(false);
    fftw_step *kept = make_reference(true);
    double ours = 0, t_every = 0, t_kept = 0;
    for (auto _ : state) {
        auto t0 = bench_clock::now();
        advance_one_step(0);
        ours += seconds_since(t0);
        t0 = bench_clock::now();
        reference_step(every);
        t_every += seconds_since(t0);
        t0 = bench_clock::now();
        reference_step(kept);
        t_kept += seconds_since(t0);
    }
    double steps = static_cast<double>(state.iterations());
    state.counters["step_us"] = 1e6 * ours / steps;
    state.counters["fftw_exp_us"] = 1e6 * t_every / steps;
    state.counters["fftw_kept_us"] = 1e6 * t_kept / steps;
    state.counters["ratio_exp"] = ours / t_every;
    state.counters["ratio_kept"] = ours / t_kept;
    state.counters["bursts_per_core"] = 0.1 / (ours / steps);
    free_reference(every);
    free_reference(kept);
}
BENCHMARK(BM_step_ratio)->Unit(benchmark::kMicrosecond);

} // namespace
