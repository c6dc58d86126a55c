// SPDX-License-Identifier: MIT
// How spingrid's page measures the lattice (web/page/page_description.h;
// what each number means is in page_description.cpp).
#include "measure/exact_answers.h"
#include "measure/run_record.h"
#include "spingrid/lattice.h"
#include "spingrid/viewer.h"
#include "web/page/page_description.h"
#include "web/page/run_steps.h"

#include <cmath>

enum { col_sweep, col_temperature, col_m, col_e };
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
    sum_tc,
    sum_up,
    sum_bands_likely
};

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

// The lattice counts every sweep (sweep_count); the run counts those its
// callbacks ran, which a test's scripted sweeps between them are not.
static long sweeps = 0;
static long sweeps_before = 0;
static int next_temperature = 0;

static int last_temperature = 0;
// The first sweep (index from 0) at the latest sweep's temperature.
static long same_temperature_from = 0;

void restart_model()
{
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
    sweeps_before = sweep_count;
    // A burst's sweeps run at the temperature their timers carry, a press's
    // at the spinner's.
    next_temperature = from_timer ? timer_value : temperature;
}

int steps_after_callback(double *row)
{
    const long ran = sweep_count - sweeps_before;
    if (ran <= 0)
        return 0;
    if (sweeps == 0 || next_temperature != last_temperature)
        same_temperature_from = sweeps + ran - 1;
    sweeps += ran;
    last_temperature = next_temperature;
    measure_model(row);
    return static_cast<int>(ran);
}

void page_summary(const double *now, double *values)
{
    const double T = now[col_temperature];
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
    values[sum_up] = std::round(N * (1.0 + now[col_m]) / 2.0);
    values[sum_bands_likely] =
        T < values[sum_tc] && weight >= 50 && values[sum_mean_abs_m] < values[sum_m0] / 2.0;
}
