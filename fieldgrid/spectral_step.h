// SPDX-License-Identifier: MIT
// The field's law of motion and its time step.
//
// Each Fourier coefficient obeys d phi/dt = L(k) phi + N(phi, t), with
//   L(k) = alpha - stiffness |k|^2 - range_coeff (4 - 2 pi |k|),
//   N    = transform of (-alpha phi^3), plus feed_level - feed_decay t in the
//          real part of the k = 0 coefficient while that is positive.
// k = 2 pi (a, b) / 64 for flat index a*64 + b, indices above 32 taken as
// negative. The linear part is applied exactly through E = exp(dt L(k)), the
// nonlinear part by a two-stage predictor-corrector. No window code here: the
// redraw request goes through request_redisplay.
#pragma once

// |k|^2 of flat index n (0 .. grid_cells - 1), in radians per cell squared,
// exactly as the step computes it for L(k): a = n / 64 and b = n % 64, each
// taken as negative above 32, k = 2 pi (a, b) / 64. The step's bits depend on
// this arithmetic, so whatever needs |k| of the step takes it from here.
double wavenumber_squared(int n);

// Writes N of the spectrum (in_re, in_im) at simulated time t into (out_re,
// out_im). All arrays hold grid_cells (4096) doubles; the inputs are left
// unchanged.
// Reads alpha, feed_level, feed_decay.
void nonlinear_term(const double *in_re, const double *in_im, double *out_re, double *out_im,
                    double t);

// Advances the spectrum (phi_re, phi_im), two distinct arrays of grid_cells
// doubles, in place from time t to t + dt:
//   phi <- E phi + dt/2 (N(phi, t) + N(E phi + dt N(phi, t), t + dt)).
// Reads every model parameter.
void spectral_step(double *phi_re, double *phi_im, double t);

// One step of the global field: zeroes field_im, transforms field_re to
// spec_re/spec_im, advances it at time step_count * dt, raises step_count,
// transforms back into field_re/field_im, copies field_re to display_grid and
// calls request_redisplay(). value is ignored; the signature is that of a
// GLUT timer callback. Must not be re-entered.
void advance_one_step(int value);

// Called at the end of every advance_one_step; does nothing by default, and
// must not be null. The
// viewer points it at a function that calls glutPostWindowRedisplay on the
// grid window: a timer callback has no defined current window, so a plain
// glutPostRedisplay could redraw the control window and skip a step's frame.
extern void (*request_redisplay)();
