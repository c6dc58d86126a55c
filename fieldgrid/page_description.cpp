// SPDX-License-Identifier: MIT
// What fieldgrid's page shows (web/page/page_description.h): a row per step
// with the field's range and the pattern's wavenumber, and beside it the
// wavenumber that the step's linear rate makes grow fastest.
#include "web/page/page_description.h"

#include <cmath>

namespace {

const described_number columns[] = {
    {"step", "step", "", "number of time steps so far", true},
    {"time", "time t", "",
     "simulated time at the end of the step, steps x dt, in the model's units", false},
    {"alpha", "alpha", "", "the alpha this step ran with", false},
    {"mean", "mean", "", "mean of the field over the 64 x 64 cells", false},
    {"rms", "RMS deviation", "", "root mean square of the field's deviation from its mean", false},
    {"min", "minimum", "", "least value of the field", false},
    {"max", "maximum", "", "greatest value of the field", false},
    {"kbar", "mean wavenumber k\u0304", "radians per cell",
     "sum of |k| |F(k)|^2 over sum of |F(k)|^2, over wave vectors k other than 0, F the field's "
     "2-D Fourier transform; |k| as the step computes it",
     false},
    {"above_zero", "cells above zero", "", "cells whose value is above 0", true},
};

const described_number summary[] = {
    {"kbar", "mean wavenumber k\u0304", "radians per cell", "the pattern's mean wavenumber now",
     false},
    {"wavelength", "wavelength 2\u03c0/k\u0304", "cells", "the pattern's mean wavelength now",
     false},
    {"k_fastest", "fastest-growing wavenumber", "radians per cell",
     "where the linear rate L(k) is largest, pi range_coeff / stiffness", false},
    {"wavelength_fastest", "fastest-growing wavelength", "cells", "2 pi over that wavenumber",
     false},
    {"cells", "cells", "", "cells of the grid", true},
};

const described_number constants[] = {
    {"grid", "grid", "", "cells per side of the periodic grid", true},
    {"dt", "dt", "", "time step", false},
    {"stiffness", "stiffness", "", "coefficient of |k|^2 in L(k)", false},
    {"range_coeff", "range_coeff", "", "coefficient of (4 - 2 pi |k|) in L(k)", false},
    {"feed_level", "feed_level", "", "source fed into the mean at time 0", false},
    {"feed_decay", "feed_decay", "", "fall of that source per unit of time", false},
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
    {"wavenumber", "radians per cell", "kbar", "k_fastest"},
    {"wavelength", "cells", "wavelength", "wavelength_fastest"},
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
    {"step", 9999999}, {"time", 999999.9}, {"alpha", 3.3333333}, {"above_zero", 4096},
    {"cells", 4096},   {"min", -10.55},    {"max", -10.55},      {"mean", -10.55},
    {"rms", 10.55},    {"kbar", 3.333},
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
    "Linear theory",
    "The linear theory's wavenumber is where the step's linear rate L(k) is largest.",
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
};
