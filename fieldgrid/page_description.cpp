// SPDX-License-Identifier: MIT
// What fieldgrid's page shows (web/page/page_description.h): a row per step
// with the field's range and the pattern's wavenumber, and beside it the
// wavenumber that the step's linear rate makes grow fastest.
#include "web/page/page_description.h"

#include <cmath>

namespace {

const described_number columns[] = {
    {"step", "step", "", "number of time steps so far", whole_number},
    {"time", "time t", "",
     "simulated time at the end of the step, steps x dt, in the model's units", real_number},
    {"alpha", "alpha", "", "the alpha this step ran with", real_number},
    {"mean", "mean", "", "mean of the field over the 64 x 64 cells", real_number},
    {"rms", "RMS deviation", "", "root mean square of the field's deviation from its mean",
     real_number},
    {"min", "minimum", "", "least value of the field", real_number},
    {"max", "maximum", "", "greatest value of the field", real_number},
    {"kbar", "mean wavenumber k\u0304", "radians per cell",
     "sum of |k| |F(k)|^2 over sum of |F(k)|^2, over wave vectors k other than 0, F the field's "
     "2-D Fourier transform; |k| as the step computes it",
     real_number},
    {"above_zero", "cells above zero", "", "cells whose value is above 0", whole_number},
};

const described_number summary[] = {
    {"kbar", "mean wavenumber k\u0304", "radians per cell", "the pattern's mean wavenumber now",
     real_number},
    {"wavelength", "wavelength 2\u03c0/k\u0304", "cells", "the pattern's mean wavelength now",
     real_number},
    {"k_fastest", "fastest-growing wavenumber", "radians per cell",
     "where the linear rate L(k) is largest, pi range_coeff / stiffness", real_number},
    {"wavelength_fastest", "fastest-growing wavelength", "cells", "2 pi over that wavenumber",
     real_number},
    {"cells", "cells", "", "cells of the grid", whole_number},
    {"linear_regime", "linear regime", "",
     "1 while the field is small enough for the linear theory: 3 alpha RMS^2, the term it "
     "leaves out, is small beside the growth rates",
     whole_number},
    {"neglected", "3 alpha RMS^2", "", "the size of the term the linear theory leaves out",
     real_number},
    {"growth_comparison", "growth comparison", "",
     "0 while none is made, 1 when the growth rates agree with the linear theory within 0.05 for "
     "0.3 < |k| < 2, 2 when they differ by more",
     whole_number},
    {"growth_first", "growth from step", "", "the first step of the comparison kept", whole_number},
    {"growth_last", "growth to step", "", "the last step of the comparison kept", whole_number},
    {"growth_max_deviation", "largest deviation", "per unit time",
     "the largest |measured - theory| of the shells' growth rates for 0.3 < |k| < 2", real_number},
    {"growth_fastest_k", "fastest-growing |k| measured", "radians per cell",
     "the shell of 0.3 < |k| < 2 whose measured growth rate is largest", real_number},
};

const described_number constants[] = {
    {"grid", "grid", "", "cells per side of the periodic grid", whole_number},
    {"dt", "dt", "", "time step", real_number},
    {"stiffness", "stiffness", "", "coefficient of |k|^2 in L(k)", real_number},
    {"range_coeff", "range_coeff", "", "coefficient of (4 - 2 pi |k|) in L(k)", real_number},
    {"feed_level", "feed_level", "", "source fed into the mean at time 0", real_number},
    {"feed_decay", "feed_decay", "", "fall of that source per unit of time", real_number},
};

const text_piece caption[] = {
    {"", "Step {step:whole}, time {time:grouped1}, alpha {alpha:float}: {above_zero:whole} of "
         "{cells:whole} cells above zero, "},
    {"min number", "field from {min:signed2} to {max:signed2}"},
    {"min nan", "some cells not a number"},
    {"", ", mean {mean:signed2}, RMS {rms:fixed2}, wavenumber "},
    {"kbar finite", "{kbar:fixed3}"},
    {"kbar not finite", "none"},
    {"", " per cell"},
};

const text_piece table_says[] = {
    {"", "At step {step:whole}, time {time:fixed1}, alpha {alpha:float}"},
};

const table_row table[] = {
    {"wavenumber k\u0304", "radians per cell", "kbar", "", "k_fastest", ""},
    {"wavelength 2\u03c0/k\u0304", "cells", "wavelength", "", "wavelength_fastest", ""},
};

const described_number shell_columns[] = {
    {"k", "|k|", "radians per cell", "the shell's wavenumber", real_number},
    {"measured_rate", "measured", "per unit time", "the shell's measured growth rate", real_number},
    {"theory_rate", "linear theory", "per unit time", "L(k) - 3 alpha <phi^2>", real_number},
    {"modes", "modes", "", "wave vectors in the shell", whole_number},
};

const plot_line shell_lines[] = {
    {"measured", "#b00020", "measured_rate", "y", false},
    {"linear theory L(k) \u2212 3\u00b7alpha\u00b7\u27e8\u03c6\u00b2\u27e9", "#555", "theory_rate",
     "y", true},
};

const text_piece shell_says[] = {
    {"growth_comparison=0", "The growth rates are measured between steps while the field is "
                            "small; none yet."},
    {"growth_comparison=1",
     "The growth rates agree with the linear theory within {growth_max_deviation:fixed3} for "
     "0.3 < |k| < 2 (steps {growth_first:whole}\u2013{growth_last:whole}); the fastest grows "
     "at |k| = {growth_fastest_k:fixed2}."},
    {"growth_comparison=2",
     "The growth rates differ from the linear theory by up to {growth_max_deviation:fixed3} "
     "for 0.3 < |k| < 2 (steps {growth_first:whole}\u2013{growth_last:whole}); the fastest "
     "grows at |k| = {growth_fastest_k:fixed2}."},
    {"linear_regime>0", " The field is still small (3\u00b7alpha\u00b7RMS\u00b2 = "
                        "{neglected:fixed3}): the comparison follows each step."},
    {"linear_regime=0",
     " The linear regime is over: 3\u00b7alpha\u00b7RMS\u00b2, the term the theory leaves "
     "out, is {neglected:fixed3}, no longer small beside the rates. The plot keeps the last "
     "comparison made inside it."},
};

const plot_axis axes[] = {
    {"time", "time", NAN, NAN, NAN},
    {"y", "field", NAN, NAN, NAN},
    {"k", "wavenumber", 0.0, NAN, 2.5},
};

const char *const theory = "#555";
const plot_line lines[] = {
    {"maximum", "#b00020", "max", "y", false},
    {"mean", "#333", "mean", "y", false},
    {"minimum", "#1f4e9c", "min", "y", false},
    {"wavenumber k\u0304", "#2e7d32", "kbar", "k", false},
    {"fastest-growing wavenumber", theory, "k_fastest", "k", true},
};

const sample_value longest[] = {
    {"step", 9999999},
    {"time", 999999.9},
    {"alpha", 3.3333333},
    {"above_zero", 4096},
    {"cells", 4096},
    {"min", -10.55},
    {"max", -10.55},
    {"mean", -10.55},
    {"rms", 10.55},
    {"kbar", 3.333},
    {"linear_regime", 0},
    {"growth_comparison", 2},
    {"growth_first", 99999},
    {"growth_last", 99999},
    {"growth_max_deviation", -99.99},
    {"growth_fastest_k", 3.33},
    {"neglected", 999.999},
};

template <typename T, int n> constexpr list_of<T> all(const T (&items)[n])
{
    return {items, n};
}

} // namespace

const page_description this_page = {
    "fieldgrid",
    "fieldgrid in the browser: a real field on a 64 \u00d7 64 periodic grid, advanced "
    "pseudo-spectrally, from which a labyrinth grows; its scale measured beside the linear "
    "theory's.",
    "a real field on a 64 x 64 periodic grid advanced pseudo-spectrally",
    "step",
    "steps",
    "Click the grid for 500 steps, one every 0.1 s; right-click or long press for one step. With "
    "the grid focused (Tab), Enter or Space is a click, and S, Shift+F10 or the menu key a "
    "right-click.",
    "alpha",
    {"\u22121 or below", "0", "+1 or above"},
    "Colours: \u22121 or below black, 0 dark red, +1 or above red",
    "Fastest-growing (linear theory)",
    "The linear theory gives the fastest-growing wavenumber, where the step's linear rate L(k) "
    "is largest: the one the pattern starts from. Once the pattern saturates, its wavelength is "
    "set by the nonlinearity, which the linear theory leaves out, so no verdict is given here: "
    "the plot of growth rates below tests the linear theory where it holds.",
    "The field's maximum, mean and minimum (left axis) and the pattern's mean wavenumber (right "
    "axis) against time; dashed, the wavenumber the linear rate makes grow fastest.",
    "The plot begins with the first step.",
    3,
    all(columns),
    all(summary),
    all(constants),
    all(caption),
    all(table_says),
    {nullptr, 0},
    all(table),
    all(axes),
    all(lines),
    all(longest),
    "",
    "",
    {"Growth rate of each wavelength",
     "Measured growth rate of each shell of wavenumbers |k| between steps (red) against the "
     "linear theory's (dashed), from the latest comparison made while the field was small.",
     "|k| (radians per cell)", "rate per unit time", all(shell_columns), all(shell_lines),
     "Download growth rates (CSV)", "growth-rates", all(shell_says)},
};
