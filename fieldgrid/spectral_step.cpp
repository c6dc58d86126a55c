// SPDX-License-Identifier: MIT
#include "fieldgrid/spectral_step.h"

#include "fieldgrid/fft_private.h"
#include "fieldgrid/field_state.h"

#include <cmath>
#include <cstring>

// The step's bits are part of every run.
#include "fieldgrid/no_fused_multiply_add.h"

static void no_redisplay() {}

void (*request_redisplay)() = no_redisplay;

static const double two_pi = 2.0 * 3.141592653589793;

// Scratch spectra, file-scope rather than 256 KiB on the stack. They carry
// nothing from one call to the next: every call overwrites them before use.
static double cr[grid_cells], ci[grid_cells];
static double bbr[grid_cells], bbi[grid_cells];
static double q1r[grid_cells], q1i[grid_cells];
static double q2r[grid_cells], q2i[grid_cells];

double wavenumber_squared(int n)
{
    int a = n / grid_side;
    int b = n % grid_side;
    if (a > grid_side / 2)
        a -= grid_side;
    if (b > grid_side / 2)
        b -= grid_side;
    double kx = a * two_pi / grid_side;
    double ky = b * two_pi / grid_side;
    return kx * kx + ky * ky;
}

// exp(dt * L(k)) for flat index n, with the current parameters.
static double step_factor(int n)
{
    double k2 = wavenumber_squared(n);
    double rate =
        static_cast<double>(alpha) - stiffness * k2 - range_coeff * (4.0 - two_pi * std::sqrt(k2));
    return std::exp(dt * rate);
}

// The factors exp(dt * L(k)) of every index, and the parameters they were
// made with. They are kept from step to step and made again as soon as alpha,
// dt, stiffness or range_coeff differs from those, compared bit for bit (so a
// NaN or a zero of the other sign counts as a change too).
static double factors[grid_cells];
static unsigned char
    factors_made_for[sizeof alpha + sizeof dt + sizeof stiffness + sizeof range_coeff];
static bool factors_made = false;

// Copies size bytes of value to at and returns the byte after them.
static unsigned char *put(unsigned char *at, const void *value, std::size_t size)
{
    std::memcpy(at, value, size);
    return at + size;
}

static const double *step_factors()
{
    unsigned char now[sizeof factors_made_for];
    unsigned char *at = put(now, &alpha, sizeof alpha);
    at = put(at, &dt, sizeof dt);
    at = put(at, &stiffness, sizeof stiffness);
    put(at, &range_coeff, sizeof range_coeff);
    if (!factors_made || std::memcmp(now, factors_made_for, sizeof now) != 0) {
        for (int n = 0; n < grid_cells; n++)
            factors[n] = step_factor(n);
        std::memcpy(factors_made_for, now, sizeof now);
        factors_made = true;
    }
    return factors;
}

// The pointwise passes below are forced inline into each of the step's
// builds, so that each vectorizes them for its own instruction set.
#define STEP_INLINE __attribute__((always_inline)) inline

// The transform of the cube of the field whose spectrum is (in_re, in_im),
// into (out_re, out_im): nonlinear_term before its factor -alpha and source.
STEP_INLINE static void cube_term(const double *in_re, const double *in_im, double *out_re,
                                  double *out_im)
{
    transform_pair(in_re, in_im, cr, ci, 1);
    for (int n = 0; n < grid_cells; n++) {
        double x = cr[n];
        double y = ci[n];
        cr[n] = x * x * x - 3.0 * x * y * y;
        ci[n] = 3.0 * x * x * y - y * y * y;
    }
    transform_pair(cr, ci, out_re, out_im, 0);
}

// The source fed into the real part of the k = 0 coefficient at time t, or 0.
// It is not divided by the grid_cells (4096) cells: the inverse transform
// does that, so every cell gains source / 4096 per unit time.
static double source_at(double t)
{
    double source = feed_level - feed_decay * t;
    return source > 0.0 ? source : 0.0;
}

void nonlinear_term(const double *in_re, const double *in_im, double *out_re, double *out_im,
                    double t)
{
    cube_term(in_re, in_im, out_re, out_im);
    const double a = static_cast<double>(alpha);
    for (int n = 0; n < grid_cells; n++) {
        out_re[n] = -a * out_re[n];
        out_im[n] = -a * out_im[n];
    }
    double source = source_at(t);
    if (source > 0.0)
        out_re[0] += source;
}

// spectral_step takes the cube terms from cube_term and applies -alpha and
// the source inside its own loops, where nonlinear_term would take a pass of
// its own; every value is the same. phi_re and phi_im are two arrays of the
// caller's, never each other nor scratch arrays of this file, which lets the
// compiler vectorize the loops.
STEP_INLINE static void step_body(double *__restrict phi_re, double *__restrict phi_im, double t)
{
    const double *e = step_factors();
    for (int n = 0; n < grid_cells; n++) {
        bbr[n] = e[n] * phi_re[n];
        bbi[n] = e[n] * phi_im[n];
    }
    const double a = static_cast<double>(alpha);
    cube_term(phi_re, phi_im, q1r, q1i);
    // Predictor, with q1 = N(phi, t) completed on the way. The source goes
    // into q1 at index 0 afterwards, and that one predictor value is made
    // again: the loops stay free of branches, so the compiler can vectorize
    // them.
    for (int n = 0; n < grid_cells; n++) {
        q1r[n] = -a * q1r[n];
        q1i[n] = -a * q1i[n];
        phi_re[n] = q1r[n] * dt + bbr[n];
        phi_im[n] = q1i[n] * dt + bbi[n];
    }
    const double source_1 = source_at(t);
    if (source_1 > 0.0) {
        q1r[0] += source_1;
        phi_re[0] = q1r[0] * dt + bbr[0];
    }
    // The nonlinear terms are not propagated by E; only the starting spectrum is.
    cube_term(phi_re, phi_im, q2r, q2i);
    for (int n = 0; n < grid_cells; n++) {
        phi_re[n] = (q1r[n] + -a * q2r[n]) * dt / 2.0 + bbr[n];
        phi_im[n] = (q1i[n] + -a * q2i[n]) * dt / 2.0 + bbi[n];
    }
    const double source_2 = source_at(t + dt);
    if (source_2 > 0.0)
        phi_re[0] = (q1r[0] + (-a * q2r[0] + source_2)) * dt / 2.0 + bbr[0];
}

// The step built three times: for plain x86-64 (or any other target), and
// for AVX2 and AVX-512F, whose wider vectors do more of each pointwise pass
// per instruction. The passes add and multiply lane by lane, in the order
// written, and none fuses a multiply with an add (the pragma at the top),
// so all three give the same bits. The widest one the transforms use is
// taken, so that fft_max_lanes caps both.
static void step_plain(double *__restrict phi_re, double *__restrict phi_im, double t)
{
    step_body(phi_re, phi_im, t);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) static void step_avx2(double *__restrict phi_re,
                                                      double *__restrict phi_im, double t)
{
    step_body(phi_re, phi_im, t);
}

__attribute__((target("avx512f"))) static void step_avx512(double *__restrict phi_re,
                                                           double *__restrict phi_im, double t)
{
    step_body(phi_re, phi_im, t);
}
#endif

void spectral_step(double *phi_re, double *phi_im, double t)
{
#if defined(__x86_64__) || defined(__i386__)
    const int lanes = fft_lanes_used();
    if (lanes >= 8) {
        step_avx512(phi_re, phi_im, t);
        return;
    }
    if (lanes >= 4) {
        step_avx2(phi_re, phi_im, t);
        return;
    }
#endif
    step_plain(phi_re, phi_im, t);
}

void advance_one_step(int)
{
    for (int n = 0; n < grid_cells; n++)
        field_im[n] = 0.0;
    transform_pair(field_re, field_im, spec_re, spec_im, 0);
    spectral_step(spec_re, spec_im, static_cast<double>(step_count) * dt);
    step_count++;
    transform_pair(spec_re, spec_im, field_re, field_im, 1);
    field_to_grid(field_re);
    request_redisplay();
}
