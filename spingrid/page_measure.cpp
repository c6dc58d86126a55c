// SPDX-License-Identifier: MIT
// How spingrid's page measures the lattice (web/page/page_description.h;
// what each number means is in page_description.cpp).
#include "measure/exact_answers.h"
#include "measure/run_record.h"
#include "measure/run_statistics.h"
#include "spingrid/lattice.h"
#include "spingrid/viewer.h"
#include "web/page/page_description.h"
#include "web/page/run_steps.h"

#include <cmath>
#include <cstdint>

enum { col_sweep, col_temperature, col_m, col_e };
// In the order of page_description.cpp's summary.
enum {
    sum_temperature,
    sum_sweeps_run,
    sum_sweeps_used,
    sum_sweeps_discarded,
    sum_independent,
    sum_mean_abs_m,
    sum_sigma_abs_m,
    sum_m0,
    sum_m0_below_tc,
    sum_verdict_abs_m,
    sum_mean_m,
    sum_sigma_m,
    sum_zero,
    sum_verdict_m,
    sum_mean_e,
    sum_sigma_e,
    sum_u,
    sum_verdict_e,
    sum_c,
    sum_sigma_c,
    sum_c_exact,
    sum_verdict_c,
    sum_chi,
    sum_sigma_chi,
    sum_tau_e,
    sum_tau_abs_m,
    sum_tc,
    sum_above_tc,
    sum_up,
    sum_bands_likely,
    sum_shade_from,
    sum_shade_to,
    sum_count
};

// The sweeps at the latest temperature, as the statistics take them.
static run_statistics statistics;

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
    spin_stats_start(&statistics);
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
    if (sweeps == 0 || next_temperature != last_temperature) {
        same_temperature_from = sweeps + ran - 1;
        spin_stats_start(&statistics);
    }
    sweeps += ran;
    last_temperature = next_temperature;
    measure_model(row);
    spin_stats_add(&statistics, row[col_e], row[col_m]);
    return static_cast<int>(ran);
}

// The verdict on measured +- sigma against exact, in words kept in text
// (as long as the page's summary holds them), as the summary's address.
static double verdict(char (&text)[48], double measured, double sigma, bool settled, double exact)
{
    comparison_text(compare_with_exact(measured, sigma, settled, exact), text, sizeof text);
    return static_cast<double>(reinterpret_cast<std::uintptr_t>(text));
}

static double no_verdict()
{
    static const char none[] = "";
    return static_cast<double>(reinterpret_cast<std::uintptr_t>(none));
}

void page_summary(const double *now, double *values)
{
    static_assert(sum_count == 32, "the summary's order is page_description.cpp's");
    static char verdicts[4][48];
    const double T = now[col_temperature];
    const double N = lattice_size * lattice_size;
    const double tc = ising_critical_temperature();
    spin_summary s;
    spin_stats_summarise(&statistics, lattice_size * lattice_size, T, &s);
    const bool any = s.used > 0;
    const bool below = T < tc;
    values[sum_temperature] = T;
    values[sum_sweeps_run] = static_cast<double>(s.steps);
    values[sum_sweeps_used] = static_cast<double>(s.used);
    values[sum_sweeps_discarded] = static_cast<double>(s.discarded);
    values[sum_independent] = any ? s.effective_samples : NAN;
    values[sum_mean_abs_m] = any ? s.abs_m.mean : NAN;
    values[sum_sigma_abs_m] = any ? s.abs_m.sigma : NAN;
    values[sum_m0] = ising_magnetisation(T);
    values[sum_m0_below_tc] = below ? values[sum_m0] : NAN;
    // Below Tc, <|m|> against m0(T); above it, the signed <m> against 0,
    // which symmetry makes exact on any finite lattice, while <|m|> stays
    // above 0 there (about 1/sqrt N for random spins) and has no exact value.
    values[sum_verdict_abs_m] =
        below ? verdict(verdicts[0], s.abs_m.mean, s.abs_m.sigma, s.abs_m.settled, values[sum_m0])
              : no_verdict();
    values[sum_mean_m] = any ? s.m.mean : NAN;
    values[sum_sigma_m] = any ? s.m.sigma : NAN;
    values[sum_zero] = below ? NAN : 0.0;
    values[sum_verdict_m] =
        below ? no_verdict() : verdict(verdicts[1], s.m.mean, s.m.sigma, s.m.settled, 0.0);
    values[sum_mean_e] = any ? s.e.mean : NAN;
    values[sum_sigma_e] = any ? s.e.sigma : NAN;
    values[sum_u] = ising_energy(T);
    values[sum_verdict_e] = verdict(verdicts[2], s.e.mean, s.e.sigma, s.e.settled, values[sum_u]);
    values[sum_c] = any ? s.c : NAN;
    values[sum_sigma_c] = any ? s.c_sigma : NAN;
    values[sum_c_exact] = ising_specific_heat(T);
    values[sum_verdict_c] = verdict(verdicts[3], s.c, s.c_sigma, s.c_settled, values[sum_c_exact]);
    values[sum_chi] = any ? s.chi : NAN;
    values[sum_sigma_chi] = any ? s.chi_sigma : NAN;
    values[sum_tau_e] = any ? s.e.tau_int : NAN;
    values[sum_tau_abs_m] = any ? s.abs_m.tau_int : NAN;
    values[sum_tc] = tc;
    values[sum_above_tc] = below ? 0 : 1;
    values[sum_up] = std::round(N * (1.0 + now[col_m]) / 2.0);
    // Below Tc, a lattice far from m0 most likely holds bands.
    values[sum_bands_likely] = below && s.used >= 50 && s.abs_m.mean < values[sum_m0] / 2.0;
    // The stretch left out: from the sweep before the first at this
    // temperature (the plot's point there) to the first kept.
    values[sum_shade_from] = static_cast<double>(same_temperature_from);
    values[sum_shade_to] = static_cast<double>(same_temperature_from + s.discarded);
}

// spingrid's page has no second plot.
int second_plot_rows(double *, int)
{
    return 0;
}

const char *second_plot_file()
{
    return "";
}
