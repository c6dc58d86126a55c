// SPDX-License-Identifier: MIT
// Time per field step, beside two steps built on FFTW's planned in-place
// transforms (FFTW_MEASURE): one evaluates the 4096 factors exp(dt L(k))
// every step, the other keeps them while alpha, dt, stiffness and
// range_coeff stay the same. A burst runs one step per 100 ms timer, so
// 100 ms / (time per step) is how many overlapping bursts one core keeps up
// with.
#include "common/random_draw.h"
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdlib>

namespace {

using cplx = std::complex<double>;
const double pi = 3.141592653589793;

void start_field()
{
    srand(1);
    randomize_field();
    grid_to_field(field_re);
    step_count = 0;
}

// The reference: the same exponential predictor-corrector, its six 64 x 64
// transforms done in place by FFTW plans made once.
struct fftw_step {
    fftw_complex *phi, *work, *n1, *e_phi;
    fftw_plan fwd, bwd;
    double field[4096];
    int steps = 0;
    bool keep_factors = false;
    double factor[4096];
    double made_for[4] = {}; // alpha, dt, stiffness, range_coeff of factor[]
    bool made = false;
};

fftw_step *make_reference(bool keep_factors)
{
    auto *r = new fftw_step;
    r->keep_factors = keep_factors;
    r->phi = fftw_alloc_complex(4096);
    r->work = fftw_alloc_complex(4096);
    r->n1 = fftw_alloc_complex(4096);
    r->e_phi = fftw_alloc_complex(4096);
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
    fftw_free(r->phi);
    fftw_free(r->work);
    fftw_free(r->n1);
    fftw_free(r->e_phi);
    delete r;
}

cplx &at(fftw_complex *a, int n)
{
    return reinterpret_cast<cplx *>(a)[n];
}

// out = transform of (-alpha z^3) of the spectrum `in`, plus the source.
void reference_nonlinear(fftw_step *r, fftw_complex *in, fftw_complex *out, double t)
{
    for (int n = 0; n < 4096; n++)
        at(r->work, n) = at(in, n) / 4096.0;
    fftw_execute(r->bwd);
    double a = alpha;
    for (int n = 0; n < 4096; n++) {
        cplx z = at(r->work, n);
        at(r->work, n) = -a * z * z * z;
    }
    fftw_execute(r->fwd);
    for (int n = 0; n < 4096; n++)
        at(out, n) = at(r->work, n);
    double source = feed_level - feed_decay * t;
    if (source > 0)
        at(out, 0) += source;
}

double factor_of(int n)
{
    int a = n / 64 > 32 ? n / 64 - 64 : n / 64;
    int b = n % 64 > 32 ? n % 64 - 64 : n % 64;
    double k = 2 * pi / 64 * std::sqrt(double(a * a + b * b));
    double l = alpha - stiffness * k * k - range_coeff * (4 - 2 * pi * k);
    return std::exp(dt * l);
}

void reference_step(fftw_step *r)
{
    double t = r->steps * dt;
    for (int n = 0; n < 4096; n++)
        at(r->work, n) = r->field[n];
    fftw_execute(r->fwd);
    if (r->keep_factors) {
        const double now[4] = {alpha, dt, stiffness, range_coeff};
        if (!r->made || !std::equal(now, now + 4, r->made_for)) {
            for (int n = 0; n < 4096; n++)
                r->factor[n] = factor_of(n);
            std::copy(now, now + 4, r->made_for);
            r->made = true;
        }
        for (int n = 0; n < 4096; n++) {
            at(r->phi, n) = at(r->work, n);
            at(r->e_phi, n) = r->factor[n] * at(r->phi, n);
        }
    } else {
        for (int n = 0; n < 4096; n++) {
            at(r->phi, n) = at(r->work, n);
            at(r->e_phi, n) = factor_of(n) * at(r->phi, n);
        }
    }
    reference_nonlinear(r, r->phi, r->n1, t);
    for (int n = 0; n < 4096; n++)
        at(r->phi, n) = at(r->e_phi, n) + dt * at(r->n1, n);
    reference_nonlinear(r, r->phi, r->phi, t + dt);
    for (int n = 0; n < 4096; n++)
        at(r->work, n) = at(r->e_phi, n) + dt / 2 * (at(r->n1, n) + at(r->phi, n));
    fftw_execute(r->bwd);
    for (int n = 0; n < 4096; n++)
        r->field[n] = at(r->work, n).real() / 4096.0;
    r->steps++;
}

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
    using clock = std::chrono::steady_clock;
    start_field();
    fftw_step *every = make_reference(false);
    fftw_step *kept = make_reference(true);
    double ours = 0, t_every = 0, t_kept = 0;
    for (auto _ : state) {
        auto t0 = clock::now();
        advance_one_step(0);
        auto t1 = clock::now();
        reference_step(every);
        auto t2 = clock::now();
        reference_step(kept);
        auto t3 = clock::now();
        ours += std::chrono::duration<double>(t1 - t0).count();
        t_every += std::chrono::duration<double>(t2 - t1).count();
        t_kept += std::chrono::duration<double>(t3 - t2).count();
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
