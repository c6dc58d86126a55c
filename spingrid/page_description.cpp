// SPDX-License-Identifier: MIT
// What spingrid's page shows (web/page/page_description.h): a row per sweep,
// the averages since the temperature last changed, and the exact answers of
// the infinite lattice beside them.
#include "web/page/page_description.h"

#include <cmath>

namespace {

const described_number columns[] = {
    {"sweep", "sweep", "", "number of Metropolis sweeps of L x L attempts so far", true},
    {"temperature", "temperature T", "J/k_B", "the temperature this sweep ran at", true},
    {"m", "magnetisation m", "", "magnetisation per spin, (1/N) sum of the spins, -1 to 1", false},
    {"e", "energy e", "J",
     "energy per spin, -(1/N) sum over nearest-neighbour bonds (each once, periodic) of s s'; "
     "-2 when all spins agree",
     false},
};

const described_number summary[] = {
    {"temperature", "temperature T", "J/k_B", "the temperature of the latest sweep", true},
    {"sweeps_used", "sweeps averaged", "",
     "the second half of the sweeps run since the temperature last changed", true},
    {"mean_abs_m", "<|m|>", "", "mean absolute magnetisation per spin", false},
    {"m0", "m0(T)", "", "spontaneous magnetisation of the infinite lattice", false},
    {"mean_e", "<e>", "J", "mean energy per spin", false},
    {"u", "u(T)", "J", "energy per spin of the infinite lattice", false},
    {"c", "c", "k_B", "specific heat per spin, N (<e^2> - <e>^2) / T^2", false},
    {"c_exact", "c(T)", "k_B", "specific heat per spin of the infinite lattice", false},
    {"chi", "chi", "1/J", "susceptibility per spin, N (<m^2> - <|m|>^2) / T", false},
    {"tc", "Tc", "J/k_B", "critical temperature of the infinite lattice, 2 / ln(1 + sqrt 2)",
     false},
    {"up", "cells +1", "", "spins +1 in the latest row", true},
    {"bands_likely", "bands likely", "",
     "1 when below Tc, after 50 sweeps or more, <|m|> is under half of m0(T)", true},
};

const described_number constants[] = {
    {"L", "L", "", "cells per side of the periodic lattice", true},
    {"N", "N", "", "spins, L x L", true},
    {"J", "J", "", "coupling of nearest neighbours", true},
    {"k_B", "k_B", "", "Boltzmann's constant", true},
};

const text_piece caption[] = {
    {"", "Sweep {sweep:whole}"},
    {"sweep>0", " at temperature {temperature:plain}"},
    {"", ": {up:whole} of {N:whole} cells {colour:plain}, magnetisation {m:signed2}, energy "
         "{e:signed3} per spin"},
};

const text_piece table_says[] = {
    {"sweeps_used>0",
     "Averaged: the last {sweeps_used:whole} sweeps, at temperature {temperature:plain}"},
    {"sweeps_used=0", "Averaged: no sweeps yet"},
};

// Below Tc, a lattice far from m0 most likely holds bands.
const text_piece notes[] = {
    {"bands_likely>0",
     " \u27e8|m|\u27e9 is far below m0(T): the lattice may hold bands that wrap round its "
     "edges, which can last thousands of sweeps. That is physics, not a fault (see What you "
     "see, below)."},
};

const table_row table[] = {
    {"magnetisation \u27e8|m|\u27e9", "", "mean_abs_m", "m0"},
    {"energy \u27e8e\u27e9", "J", "mean_e", "u"},
    {"specific heat c", "k_B", "c", "c_exact"},
    {"susceptibility \u03c7", "1/J", "chi", ""},
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
    {"sweep", 9999999}, {"temperature", 4}, {"up", 2500},        {"N", 2500},
    {"m", -1},          {"e", -2},          {"bands_likely", 1},
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
    "The averages take the second half of the sweeps run since the temperature last changed: "
    "the first half is the approach to equilibrium.",
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
};
