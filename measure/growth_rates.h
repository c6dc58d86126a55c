// SPDX-License-Identifier: MIT
// fieldgrid's growth, measured shell by shell in |k| and set beside the
// linear theory, while the field is small enough for that theory to hold.
//
// While the field is nearly uniform, each wave vector k other than 0 grows
// or decays at
//   sigma(k) = L(k) - 3 alpha <phi^2>,
//   L(k) = alpha - stiffness |k|^2 - range_coeff (4 - 2 pi |k|),
// L the step's linear rate and -3 alpha phi^2 the cubic term linearised
// about the present field. <phi^2> is the mean of phi^2 over the grid, the
// mean of the field included: <phi^2> = phi0^2 + RMS^2. About a uniform phi0
// the linearisation gives -3 alpha phi0^2; the modes' own cube adds, on
// average over their phases, -3 alpha RMS^2 more. That part is the size of
// what a linear theory can get wrong, and while it is small the two readings
// differ by less than the comparison can tell (0.003 through step 25 at
// alpha 1.5).
//
// A shell gathers the wave vectors whose |k| rounds to a multiple of 2 pi/64
// (shell i: |k| within pi/64 of 2 pi i/64); k = 0 (the mean, fed by a fading
// source) is left out. Between successive steps a shell's measured rate is
//   ln(P(t + dt) / P(t)) / (2 dt),
// P the shell's power sum |F(k)|^2, and its theory rate is the linear
// theory's for that same power: the power-weighted mean of L(k) over the
// shell minus 3 alpha <phi^2>, each averaged over the step's two ends (the
// mean field falls fast early on). Both are averaged over the latest few
// intervals.
//
// The linear regime ends when 3 alpha RMS^2 passes growth_regime_fraction
// of the largest |theory rate| at the shell centres of 0.3 < |k| < 2. The latest comparison made
// before that is kept; it stops changing then, until growth_start. The
// fraction is small (0.002) because the decaying shells near |k| = 2 depart
// first: the fastest modes, at |k| near 1, feed their harmonic at 2 |k|
// (through -3 alpha phi0 phi^2) while the shell's own power falls.
//
// The theory is the continuous one. The step treats the cubic term
// explicitly beside the exact exponential, which adds about
// dt L(k) 3 alpha <phi^2> / 2 to every rate: negligible at alpha 1.5 once
// the mean has fallen, but some 0.2 at alpha 3, whose mean stays near 0.4.
//
// Cost: growth_add is one pass over the spectrum the step already made (no
// transform), O(4096), and memory is fixed. Nothing here knows fieldgrid:
// the model's constants come as arguments.
#pragma once

#include <cstddef>

// The grid's side (64) and shells of |k|: 0 .. 45 (the corner, |k| = pi
// sqrt 2, rounds to 45).
constexpr int growth_side = 64;
constexpr int growth_shells = 46;
// Most intervals a comparison may average over.
constexpr int growth_max_average = 16;
// The regime ends where 3 alpha RMS^2 passes this fraction of the rates.
constexpr double growth_regime_fraction = 0.002;
// The band of |k| (radians per cell) the largest deviation is taken over.
constexpr double growth_band_low = 0.3;
constexpr double growth_band_high = 2.0;

// What the linear rate of a step was made with: the alpha it ran with and
// the model's constants (fieldgrid/field_state.h).
struct growth_model {
    double dt, alpha, stiffness, range_coeff;
};

// A comparison of measured and theory rates, per shell i = 0 .. 45 (shell 0,
// k = 0 alone, has no rates: its modes count is 0 and its rates NaN). Rates
// per unit time, |k| in radians per cell.
struct growth_comparison {
    bool made;               // false until a comparison is made
    int first_step;          // the rates are those from this step's field...
    int last_step;           // ...to this one's
    double k[growth_shells]; // shell centre, 2 pi i / 64
    double measured_rate[growth_shells];
    double theory_rate[growth_shells];
    int modes[growth_shells]; // wave vectors in the shell
    // The largest |measured - theory| over growth_band_low < k <
    // growth_band_high, and its shell.
    double max_deviation;
    int max_deviation_shell;
    int fastest_shell; // the shell of that band whose measured rate is largest
};

// The growth measurement: plain data, changed only by the functions below.
struct growth_state {
    int average;        // intervals a comparison averages over, 1 .. 16
    bool have_previous; // a previous step's sums are held
    bool regime_over;   // the linear regime has ended
    int previous_step;
    growth_model previous_model;
    double previous_power[growth_shells];
    double previous_linear[growth_shells]; // power-weighted L(k)
    double previous_square_mean;           // <phi^2>
    // The latest intervals' rates, oldest first, all inside the regime.
    int intervals;
    int interval_first_step[growth_max_average];
    double measured[growth_max_average][growth_shells];
    double theory[growth_max_average][growth_shells];
    // The latest step's field: its mean, RMS about the mean, <phi^2> and
    // the neglected term 3 alpha RMS^2.
    double mean, rms, square_mean, neglected;
    growth_comparison kept; // the latest comparison inside the regime
};

// Forgets everything: call it when the run restarts. average: intervals each
// comparison averages over (clamped to 1 .. growth_max_average; 5 is a good
// start).
void growth_start(growth_state *g, int average);

// Takes the spectrum of the field after step `step` (spec_re, spec_im:
// 64 x 64 doubles, flat index a*64 + b, indices above 32 standing for
// negative frequencies; the unscaled forward transform of the real field,
// as the step leaves it: F(-k) is taken to be the conjugate of F(k), so only
// columns 0 .. 32 are read) and m, the constants that step ran with. When step follows
// the previous call's step and m is unchanged, the interval between them is
// measured; otherwise the sums are held and the intervals start again. Once
// the regime has ended, only mean, rms, square_mean and neglected change.
void growth_add(growth_state *g, const double *spec_re, const double *spec_im, int step,
                const growth_model *m);

// The comparison kept as CSV, "k,measured_rate,theory_rate,modes" and a row
// per shell with modes (k = 0 left out), into text (size bytes, ended by a 0).
// Returns the length of the whole text, as snprintf does; 0 and an empty
// text when no comparison is made yet.
int growth_csv(const growth_comparison *c, char *text, std::size_t size);
