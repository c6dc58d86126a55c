// SPDX-License-Identifier: MIT
// spingrid's part of the page (see run_page.h): a row per sweep, the
// averages since the temperature last changed, and the exact answers of the
// infinite lattice beside them.
#include "common/random_draw.h"
#include "spingrid/lattice.h"
#include "spingrid/viewer.h"
#include "measure/exact_answers.h"
#include "web/page/run_page.h"
#include "measure/run_record.h"

#include <cmath>

const char *const page_program = "spingrid";

const page_number run_columns[] = {
    {"sweep", "sweep", "", "number of Metropolis sweeps of L x L attempts so far"},
    {"temperature", "temperature T", "J/k_B", "the temperature this sweep ran at"},
    {"m", "magnetisation m", "", "magnetisation per spin, (1/N) sum of the spins, -1 to 1"},
    {"e", "energy e", "J",
     "energy per spin, -(1/N) sum over nearest-neighbour bonds (each once, periodic) of s s'; "
     "-2 when all spins agree"},
};
const int run_column_count = sizeof run_columns / sizeof run_columns[0];
enum { col_sweep, col_temperature, col_m, col_e };

const page_number summary_numbers[] = {
    {"temperature", "temperature T", "J/k_B", "the temperature of the latest sweep"},
    {"sweeps_used", "sweeps averaged", "",
     "the second half of the sweeps run since the temperature last changed"},
    {"mean_abs_m", "<|m|>", "", "mean absolute magnetisation per spin"},
    {"m0", "m0(T)", "", "spontaneous magnetisation of the infinite lattice"},
    {"mean_e", "<e>", "J", "mean energy per spin"},
    {"u", "u(T)", "J", "energy per spin of the infinite lattice"},
    {"c", "c", "k_B", "specific heat per spin, N (<e^2> - <e>^2) / T^2"},
    {"c_exact", "c(T)", "k_B", "specific heat per spin of the infinite lattice"},
    {"chi", "chi", "1/J", "susceptibility per spin, N (<m^2> - <|m|>^2) / T"},
    {"tc", "Tc", "J/k_B", "critical temperature of the infinite lattice, 2 / ln(1 + sqrt 2)"},
};
const int summary_count = sizeof summary_numbers / sizeof summary_numbers[0];
enum {
    sum_temperature,
    sum_sweeps_used,
    sum_mean_abs_m,
    sum_m0,
    sum_mean_e,
    sum_u,
    sum_c,
    sum_c_exact,
    sum_chi,
    sum_tc
};

const page_table_row table_rows[] = {
    {"magnetisation \u27e8|m|\u27e9", "", "mean_abs_m", "m0"},
    {"energy \u27e8e\u27e9", "J", "mean_e", "u"},
    {"specific heat c", "k_B", "c", "c_exact"},
    {"susceptibility \u03c7", "1/J", "chi", ""},
};
const int table_row_count = sizeof table_rows / sizeof table_rows[0];

const page_number model_constants[] = {
    {"L", "L", "", "cells per side of the periodic lattice"},
    {"N", "N", "", "spins, L x L"},
    {"J", "J", "", "coupling of nearest neighbours"},
    {"k_B", "k_B", "", "Boltzmann's constant"},
};
const int constant_count = sizeof model_constants / sizeof model_constants[0];

void constant_values(double *values)
{
    values[0] = lattice_size;
    values[1] = lattice_size * lattice_size;
    values[2] = 1.0;
    values[3] = 1.0;
}

void (*const viewer_mouse)(int, int, int, int) = on_mouse;
void (*const viewer_display)() = draw_spins;
const int grid_cells_per_side = lattice_max;

// The lattice counts no sweeps; a sweep takes exactly 3 L L draws, so the
// draws taken during a callback tell how many sweeps it ran.
static long draws = 0;
static long draws_before = 0;
static int next_temperature = 0;

static long sweeps = 0;
static int last_temperature = 0;
// The first sweep (index from 0) at the latest sweep's temperature.
static long same_temperature_from = 0;

static int counted_draw()
{
    draws++;
    return rand15();
}

void restart_model()
{
    random_source = counted_draw;
    randomize_spins();
    sweeps = 0;
    last_temperature = 0;
    same_temperature_from = 0;
}

void measure_model(double *row)
{
    // One pass: each spin, and its bonds to the right and up, each bond once;
    // the last row and column wrap round to the first.
    const int L = lattice_size;
    long sum = 0, bonds = 0;
    for (int i = 0; i < L; i++) {
        const int next_i = i + 1 < L ? i + 1 : 0;
        for (int j = 0; j < L; j++) {
            const int next_j = j + 1 < L ? j + 1 : 0;
            sum += spins[i][j];
            bonds += spins[i][j] * (spins[next_i][j] + spins[i][next_j]);
        }
    }
    row[col_sweep] = static_cast<double>(sweeps);
    // Before the first sweep, the temperature the next one would run at.
    row[col_temperature] = sweeps > 0 ? last_temperature : temperature;
    row[col_m] = static_cast<double>(sum) / (L * L);
    row[col_e] = -static_cast<double>(bonds) / (L * L);
}

void note_before_callback(bool from_timer, int timer_value)
{
    draws_before = draws;
    // A burst's sweeps run at the temperature their timers carry, a press's
    // at the spinner's.
    next_temperature = from_timer ? timer_value : temperature;
}

int steps_after_callback(double *row)
{
    const long per_sweep = 3L * lattice_size * lattice_size;
    const long ran = (draws - draws_before) / per_sweep;
    if (ran <= 0)
        return 0;
    if (sweeps == 0 || next_temperature != last_temperature)
        same_temperature_from = sweeps + ran - 1;
    sweeps += ran;
    last_temperature = next_temperature;
    measure_model(row);
    return static_cast<int>(ran);
}

void page_summary(double *values)
{
    double row[record_max_columns];
    run_now(row);
    const double T = row[col_temperature];
    // The first half of the sweeps at this temperature is the approach to
    // equilibrium; the averages take the second half.
    const long run = sweeps - same_temperature_from;
    const long from = sweeps - (run - run / 2);
    double weight = 0.0, abs_m = 0.0, e = 0.0;
    const long first = record_first_held_from(from);
    for (long k = first; k < record_held(); k++) {
        const double w = static_cast<double>(record_held_weight(k));
        const double *r = record_held_row(k);
        weight += w;
        abs_m += w * std::fabs(r[col_m]);
        e += w * r[col_e];
    }
    abs_m /= weight;
    e /= weight;
    // Second moments about the means: the differences of raw moments would
    // cancel away most of their digits.
    double var_abs_m = 0.0, var_e = 0.0;
    for (long k = first; k < record_held(); k++) {
        const double w = static_cast<double>(record_held_weight(k));
        const double *r = record_held_row(k);
        var_abs_m += w * (std::fabs(r[col_m]) - abs_m) * (std::fabs(r[col_m]) - abs_m);
        var_e += w * (r[col_e] - e) * (r[col_e] - e);
    }
    const double N = lattice_size * lattice_size;
    values[sum_temperature] = T;
    values[sum_sweeps_used] = weight;
    values[sum_mean_abs_m] = weight > 0 ? abs_m : NAN;
    values[sum_m0] = ising_magnetisation(T);
    values[sum_mean_e] = weight > 0 ? e : NAN;
    values[sum_u] = ising_energy(T);
    values[sum_c] = weight > 0 ? N * (var_e / weight) / (T * T) : NAN;
    values[sum_c_exact] = ising_specific_heat(T);
    values[sum_chi] = weight > 0 ? N * (var_abs_m / weight) / T : NAN;
    values[sum_tc] = ising_critical_temperature();
}
