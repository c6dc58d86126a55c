// SPDX-License-Identifier: MIT
// The field's step written straight from its description, the yardstick the
// program's step must match bit for bit: the factor exp(dt L(k)) evaluated
// per index on every step, the cube term through its own pass, and every
// transform a copy followed by the straightforward fft2 of fft_reference.h.
// It reads the model parameters (alpha, dt, stiffness, range_coeff,
// feed_level, feed_decay) from field_state.h, as the program's step does,
// and keeps the field in arrays of its own. Valid input only.
#pragma once

#include "fieldgrid/grid_shape.h"

// A field the reference steps: the same four arrays and counter as the
// program's globals of those names.
struct reference_field {
    double field_re[grid_cells];
    double field_im[grid_cells];
    double spec_re[grid_cells];
    double spec_im[grid_cells];
    int step_count;
};

// exp(dt L(k)) for flat index n (0 .. 4095), with the parameters of now.
double reference_step_factor(int n);

// N of the spectrum (in_re, in_im) at time t into (out_re, out_im): minus
// alpha times the transform of the cube, plus the source in the real part of
// the k = 0 coefficient while it is positive. The inputs stay unchanged.
void reference_nonlinear_term(const double *in_re, const double *in_im, double *out_re,
                              double *out_im, double t);

// The predictor-corrector from t to t + dt, in place:
//   phi <- E phi + dt/2 (N(phi, t) + N(E phi + dt N(phi, t), t + dt)).
void reference_spectral_step(double *phi_re, double *phi_im, double t);

// One step of *f, as advance_one_step takes one of the program's field:
// zero field_im, forward transform, spectral step at step_count * dt, count
// the step, inverse transform.
void reference_advance(reference_field *f);
