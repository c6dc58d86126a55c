#include "fieldgrid/spectral_step.h"

#include "fieldgrid/fft.h"
#include "fieldgrid/field_state.h"

#include <cmath>

static void no_redisplay() {}

void (*request_redisplay)() = no_redisplay;

static const double two_pi = 2.0 * 3.141592653589793;

// Scratch spectra, file-scope rather than 256 KiB on the stack. They carry
// nothing from one call to the next: every call overwrites them before use.
static double cr[4096], ci[4096];
static double bbr[4096], bbi[4096];
static double q1r[4096], q1i[4096];
static double q2r[4096], q2i[4096];

// exp(dt * L(k)) for flat index n, with the current parameters (alpha may have
// changed since the last step, so nothing is cached).
static double step_factor(int n)
{
    int a = n / 64;
    int b = n % 64;
    if (a > 32)
        a -= 64;
    if (b > 32)
        b -= 64;
    double kx = a * two_pi / 64.0;
    double ky = b * two_pi / 64.0;
    double k2 = kx * kx + ky * ky;
    double rate =
        static_cast<double>(alpha) - stiffness * k2 - range_coeff * (4.0 - two_pi * std::sqrt(k2));
    return std::exp(dt * rate);
}

void nonlinear_term(const double *in_re, const double *in_im, double *out_re, double *out_im,
                    double t)
{
    transform_pair(in_re, in_im, cr, ci, 1);
    for (int n = 0; n < 4096; n++) {
        double x = cr[n];
        double y = ci[n];
        cr[n] = x * x * x - 3.0 * x * y * y;
        ci[n] = 3.0 * x * x * y - y * y * y;
    }
    transform_pair(cr, ci, out_re, out_im, 0);

    const double a = static_cast<double>(alpha);
    for (int n = 0; n < 4096; n++) {
        out_re[n] = -a * out_re[n];
        out_im[n] = -a * out_im[n];
    }
    // The source is not divided by the 4096 cells: the inverse transform does
    // that, so every cell gains source / 4096 per unit time.
    double source = feed_level - feed_decay * t;
    if (source > 0.0)
        out_re[0] += source;
}

void spectral_step(double *phi_re, double *phi_im, double t)
{
    for (int n = 0; n < 4096; n++) {
        double e = step_factor(n);
        bbr[n] = e * phi_re[n];
        bbi[n] = e * phi_im[n];
    }
    nonlinear_term(phi_re, phi_im, q1r, q1i, t);
    for (int n = 0; n < 4096; n++) {
        phi_re[n] = q1r[n] * dt + bbr[n];
        phi_im[n] = q1i[n] * dt + bbi[n];
    }
    // The nonlinear terms are not propagated by E; only the starting spectrum is.
    nonlinear_term(phi_re, phi_im, q2r, q2i, t + dt);
    for (int n = 0; n < 4096; n++) {
        phi_re[n] = (q1r[n] + q2r[n]) * dt / 2.0 + bbr[n];
        phi_im[n] = (q1i[n] + q2i[n]) * dt / 2.0 + bbi[n];
    }
}

void advance_one_step(int)
{
    for (int n = 0; n < 4096; n++)
        field_im[n] = 0.0;
    transform_pair(field_re, field_im, spec_re, spec_im, 0);
    spectral_step(spec_re, spec_im, static_cast<double>(step_count) * dt);
    step_count++;
    transform_pair(spec_re, spec_im, field_re, field_im, 1);
    field_to_grid(field_re);
    if (request_redisplay)
        request_redisplay();
}
