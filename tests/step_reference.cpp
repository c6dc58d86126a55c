// SPDX-License-Identifier: MIT
#include "tests/step_reference.h"

#include "fieldgrid/field_state.h"
#include "tests/fft_reference.h"

#include <cmath>
#include <vector>

namespace {

const double two_pi = 2.0 * 3.141592653589793;

// Copies (src_re, src_im) into (dst_re, dst_im) and transforms the copy.
void transform_copy(const double *src_re, const double *src_im, double *dst_re, double *dst_im,
                    int flag)
{
    for (int k = 0; k < grid_cells; k++) {
        dst_re[k] = src_re[k];
        dst_im[k] = src_im[k];
    }
    reference_fft2(dst_re, dst_im, grid_side, grid_side, flag);
}

} // namespace

double reference_step_factor(int n)
{
    int a = n / grid_side, b = n % grid_side;
    if (a > grid_side / 2)
        a -= grid_side;
    if (b > grid_side / 2)
        b -= grid_side;
    const double kx = a * two_pi / grid_side, ky = b * two_pi / grid_side;
    const double k2 = kx * kx + ky * ky;
    const double rate =
        static_cast<double>(alpha) - stiffness * k2 - range_coeff * (4.0 - two_pi * std::sqrt(k2));
    return std::exp(dt * rate);
}

void reference_nonlinear_term(const double *in_re, const double *in_im, double *out_re,
                              double *out_im, double t)
{
    std::vector<double> cr(grid_cells), ci(grid_cells);
    transform_copy(in_re, in_im, cr.data(), ci.data(), 1);
    for (int n = 0; n < grid_cells; n++) {
        const double x = cr[n], y = ci[n];
        cr[n] = x * x * x - 3.0 * x * y * y;
        ci[n] = 3.0 * x * x * y - y * y * y;
    }
    transform_copy(cr.data(), ci.data(), out_re, out_im, 0);
    const double a = static_cast<double>(alpha);
    for (int n = 0; n < grid_cells; n++) {
        out_re[n] = -a * out_re[n];
        if (n == 0) {
            const double source = feed_level - feed_decay * t;
            if (source > 0.0)
                out_re[0] = out_re[0] + source;
        }
        out_im[n] = -a * out_im[n];
    }
}

void reference_spectral_step(double *phi_re, double *phi_im, double t)
{
    std::vector<double> bbr(grid_cells), bbi(grid_cells);
    std::vector<double> q1r(grid_cells), q1i(grid_cells), q2r(grid_cells), q2i(grid_cells);
    for (int n = 0; n < grid_cells; n++) {
        const double e = reference_step_factor(n);
        bbr[n] = e * phi_re[n];
        bbi[n] = e * phi_im[n];
    }
    reference_nonlinear_term(phi_re, phi_im, q1r.data(), q1i.data(), t);
    for (int n = 0; n < grid_cells; n++) {
        phi_re[n] = q1r[n] * dt + bbr[n];
        phi_im[n] = q1i[n] * dt + bbi[n];
    }
    reference_nonlinear_term(phi_re, phi_im, q2r.data(), q2i.data(), t + dt);
    for (int n = 0; n < grid_cells; n++) {
        phi_re[n] = (q1r[n] + q2r[n]) * dt / 2.0 + bbr[n];
        phi_im[n] = (q1i[n] + q2i[n]) * dt / 2.0 + bbi[n];
    }
}

void reference_advance(reference_field *f)
{
    for (int n = 0; n < grid_cells; n++)
        f->field_im[n] = 0.0;
    transform_copy(f->field_re, f->field_im, f->spec_re, f->spec_im, 0);
    reference_spectral_step(f->spec_re, f->spec_im, static_cast<double>(f->step_count) * dt);
    f->step_count++;
    transform_copy(f->spec_re, f->spec_im, f->field_re, f->field_im, 1);
}
