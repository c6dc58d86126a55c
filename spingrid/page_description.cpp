// SPDX-License-Identifier: MIT
// What spingrid's page shows (web/page/page_description.h): a row per sweep,
// the averages since the temperature last changed, and the exact answers of
// the infinite lattice beside them.
#include "web/page/page_description.h"

#include <cmath>

namespace {

const described_number columns[] = {
    {"sweep", "sweep", "", "number of Metropolis sweeps of L x L attempts so far", whole_number},
    {"temperature", "temperature T", "J/k_B", "the temperature this sweep ran at", whole_number},
    {"m", "magnetisation m", "", "magnetisation per spin, (1/N) sum of the spins, -1 to 1",
     real_number},
    {"e", "energy e", "J",
     "energy per spin, -(1/N) sum over nearest-neighbour bonds (each once, periodic) of s s'; "
     "-2 when all spins agree",
     real_number},
};

const described_number summary[] = {
    {"temperature", "temperature T", "J/k_B", "the temperature of the latest sweep", whole_number},
    {"sweeps_run", "sweeps run", "", "sweeps run since the temperature last changed", whole_number},
    {"sweeps_used", "sweeps averaged", "",
     "of those, the sweeps the averages take: all but the start the data chose to leave out",
     whole_number},
    {"sweeps_discarded", "sweeps left out", "",
     "the start left out as the approach to equilibrium, chosen to keep the most independent "
     "samples",
     whole_number},
    {"independent", "independent samples", "",
     "what the sweeps averaged amount to: sweeps / (2 tau_int), the least over e, m and |m|",
     real_number},
    {"mean_abs_m", "<|m|>", "", "mean absolute magnetisation per spin", real_number},
    {"sigma_abs_m", "sigma <|m|>", "", "its standard error", real_number},
    {"m0", "m0(T)", "", "spontaneous magnetisation of the infinite lattice", real_number},
    {"m0_below_tc", "m0(T) below Tc", "",
     "m0(T) where <|m|> is set beside it, below Tc; none above, where a finite lattice's <|m|> "
     "has no exact value",
     real_number},
    {"verdict_abs_m", "verdict <|m|>", "", "<|m|> against m0(T), below Tc only", text_number},
    {"mean_m", "<m>", "", "mean magnetisation per spin", real_number},
    {"sigma_m", "sigma <m>", "", "its standard error", real_number},
    {"zero", "0", "", "<m> on any finite lattice above Tc, by symmetry", real_number},
    {"verdict_m", "verdict <m>", "", "<m> against 0, above Tc only", text_number},
    {"mean_e", "<e>", "J", "mean energy per spin", real_number},
    {"sigma_e", "sigma <e>", "J", "its standard error", real_number},
    {"u", "u(T)", "J", "energy per spin of the infinite lattice", real_number},
    {"verdict_e", "verdict <e>", "", "<e> against u(T)", text_number},
    {"c", "c", "k_B", "specific heat per spin, N (<e^2> - <e>^2) / T^2", real_number},
    {"sigma_c", "sigma c", "k_B", "its standard error, by a jackknife over blocks", real_number},
    {"c_exact", "c(T)", "k_B", "specific heat per spin of the infinite lattice", real_number},
    {"verdict_c", "verdict c", "", "c against c(T)", text_number},
    {"chi", "chi", "1/J", "susceptibility per spin, N (<m^2> - <|m|>^2) / T", real_number},
    {"sigma_chi", "sigma chi", "1/J", "its standard error, by a jackknife over blocks",
     real_number},
    {"tau_e", "tau_int e", "sweeps", "integrated autocorrelation time of e", real_number},
    {"tau_abs_m", "tau_int |m|", "sweeps", "integrated autocorrelation time of |m|", real_number},
    {"tc", "Tc", "J/k_B", "critical temperature of the infinite lattice, 2 / ln(1 + sqrt 2)",
     real_number},
    {"above_tc", "above Tc", "", "1 when the temperature is above Tc", whole_number},
    {"up", "cells +1", "", "spins +1 in the latest row", whole_number},
    {"bands_likely", "bands likely", "",
     "1 when below Tc, after 50 sweeps averaged or more, <|m|> is under half of m0(T)",
     whole_number},
    {"shade_from", "left out from", "", "the plot's sweep where the stretch left out starts",
     whole_number},
    {"shade_to", "left out to", "", "the plot's sweep where the averages start", whole_number},
};

const described_number constants[] = {
    {"L", "L", "", "cells per side of the periodic lattice", whole_number},
    {"N", "N", "", "spins, L x L", whole_number},
    {"J", "J", "", "coupling of nearest neighbours", whole_number},
    {"k_B", "k_B", "", "Boltzmann's constant", whole_number},
};

const text_piece caption[] = {
    {"", "Sweep {sweep:whole}"},
    {"sweep>0", " at temperature {temperature:plain}"},
    {"", ": {up:whole} of {N:whole} cells {colour:plain}, magnetisation {m:signed2}, energy "
         "{e:signed3} per spin"},
};

const text_piece table_says[] = {
    {"sweeps_used>0", "Averaged: {sweeps_used:whole} of the {sweeps_run:whole} sweeps at "
                      "temperature {temperature:plain}"},
    {"sweeps_discarded>0", " (the first {sweeps_discarded:whole} left out)"},
    {"sweeps_used>0", ", about {independent:fixed0} independent samples; \u03c4_int "
                      "{tau_e:fixed1} sweeps for e, {tau_abs_m:fixed1} for |m|"},
    {"sweeps_used=0", "Averaged: no sweeps yet"},
};

const text_piece notes[] = {
    // Below Tc, a lattice far from m0 most likely holds bands.
    {"bands_likely>0",
     " \u27e8|m|\u27e9 is far below m0(T): the lattice may hold bands that wrap round its "
     "edges, which can last thousands of sweeps. Then \u27e8e\u27e9 differs from u(T) too. That "
     "is physics, not a fault (see What you see, below)."},
    {"above_tc>0",
     " Above Tc the signed \u27e8m\u27e9 is set beside 0, which symmetry makes exact on any "
     "finite lattice. \u27e8|m|\u27e9 has no verdict there: the sum of 2,500 spins is never "
     "exactly zero, so a finite lattice keeps \u27e8|m|\u27e9 above 0 (about 0.016 for spins "
     "that point at random)."},
};

const table_row table[] = {
    {"magnetisation \u27e8|m|\u27e9", "", "mean_abs_m", "sigma_abs_m", "m0_below_tc",
     "verdict_abs_m"},
    {"magnetisation \u27e8m\u27e9", "", "mean_m", "sigma_m", "zero", "verdict_m"},
    {"energy \u27e8e\u27e9", "J", "mean_e", "sigma_e", "u", "verdict_e"},
    {"specific heat c", "k_B", "c", "sigma_c", "c_exact", "verdict_c"},
    {"susceptibility \u03c7", "1/J", "chi", "sigma_chi", "", ""},
};
const plot_axis axes[] = {
    {"sweep", "sweep", NAN, NAN, NAN},
    {"y", "per spin", -2.05, 1.05, NAN},
};

const char *const theory = "#555";
const plot_line lines[] = {
    {"magnetisation m", "#b00020", "m", "y", false},
    {"energy e", "#1f4e9c", "e", "y", false},
    {"\u00b1m0(T)", theory, "m0", "y", true},
    {"", theory, "-m0", "y", true},
    {"u(T)", theory, "u", "y", true},
};

const sample_value longest[] = {
    {"sweep", 9999999},
    {"temperature", 4},
    {"up", 2500},
    {"N", 2500},
    {"m", -1},
    {"e", -2},
    {"bands_likely", 1},
    {"above_tc", 1},
    {"sweeps_used", 9999999},
    {"sweeps_run", 9999999},
    {"sweeps_discarded", 9999999},
    {"independent", 999999},
    {"tau_e", 99.9},
    {"tau_abs_m", 99.9},
};

template <typename T, int n> constexpr list_of<T> all(const T (&items)[n])
{
    return {items, n};
}

} // namespace

const page_description this_page = {
    "spingrid",
    "spingrid in the browser: a 50 \u00d7 50 lattice of +1/\u22121 spins (the two-dimensional "
    "Ising model) advanced by Metropolis sweeps at a temperature from 1 to 4, measured beside "
    "the exact solution.",
    "a 50 x 50 periodic lattice of +1/-1 spins (the two-dimensional Ising model) advanced by "
    "Metropolis sweeps",
    "sweep",
    "sweeps",
    "Click the grid for 100 sweeps, one every 0.1 s, at the temperature of the click; "
    "right-click or long press for one sweep. With the grid focused (Tab), Enter or Space is a "
    "click, and S, Shift+F10 or the menu key a right-click.",
    "temperature",
    {"\u22121", "", "+1"},
    "Colours: \u22121 black, +1 red",
    "Exact, infinite lattice",
    "Each average is over the sweeps since the temperature last changed, less a start that the "
    "data show is still the approach to equilibrium (shaded in the plot); \u00b1 is one "
    "standard error, from the run's own correlations. A verdict needs about 20 independent "
    "samples and no drift.",
    "Magnetisation and energy per spin against sweeps; dashed, the infinite lattice's exact "
    "values at the latest sweep's temperature.",
    "The plot begins with the first sweep.",
    4,
    all(columns),
    all(summary),
    all(constants),
    all(caption),
    all(table_says),
    all(notes),
    all(table),
    all(axes),
    all(lines),
    all(longest),
    "shade_from",
    "shade_to",
    {"", "", "", "", {nullptr, 0}, {nullptr, 0}, "", "", {nullptr, 0}},
};
