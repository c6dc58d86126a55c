// SPDX-License-Identifier: MIT
// How fieldgrid's page measures the field (web/page/page_description.h;
// what each number means is in page_description.cpp).
#include "fieldgrid/fft.h"
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"
#include "fieldgrid/viewer.h"
#include "measure/exact_answers.h"
#include "measure/growth_rates.h"
#include "measure/run_record.h"
#include "web/page/page_description.h"
#include "web/page/run_steps.h"

#include <algorithm>
#include <cmath>

enum {
    col_step,
    col_time,
    col_alpha,
    col_mean,
    col_rms,
    col_min,
    col_max,
    col_kbar,
    col_above_zero
};

void constant_values(double *values)
{
    values[0] = grid_side;
    values[1] = dt;
    values[2] = stiffness;
    values[3] = range_coeff;
    values[4] = feed_level;
    values[5] = feed_decay;
}

void (*const viewer_mouse)(int, int, int, int) = on_mouse;
void (*const viewer_display)() = draw_field;
const int grid_cells_per_side = grid_side;

static int steps_before = 0;
static float alpha_before = 0.0f;
static float last_alpha = 0.0f;

// The growth of each shell of wavenumbers between steps, against the
// linear theory.
static growth_state growth;

void restart_model()
{
    growth_start(&growth, 5);
    randomize_field();
    grid_to_field(field_re);
    std::fill(field_im, field_im + grid_cells, 0.0);
    std::fill(spec_re, spec_re + grid_cells, 0.0);
    std::fill(spec_im, spec_im + grid_cells, 0.0);
    step_count = 0;
}

// |k| of each flat index, as the step computes it.
static const double *wavenumbers()
{
    static double k[grid_cells];
    static bool made = false;
    if (!made) {
        for (int n = 0; n < grid_cells; n++)
            k[n] = std::sqrt(wavenumber_squared(n));
        made = true;
    }
    return k;
}

// The power-weighted mean |k| of a spectrum, k = 0 left out; NaN for a
// uniform field, which has no wavenumber. Four running sums, each over every
// fourth index, so that the additions need not wait for one another; the
// first four indices start them, without index 0.
static double mean_wavenumber(const double *re, const double *im)
{
    const double *k = wavenumbers();
    double power[4] = {}, weighted[4] = {};
    for (int n = 1; n < 4; n++) {
        power[n] = re[n] * re[n] + im[n] * im[n];
        weighted[n] = k[n] * power[n];
    }
    for (int n = 4; n < grid_cells; n += 4)
        for (int lane = 0; lane < 4; lane++) {
            const double p = re[n + lane] * re[n + lane] + im[n + lane] * im[n + lane];
            power[lane] += p;
            weighted[lane] += k[n + lane] * p;
        }
    const double all = (power[0] + power[1]) + (power[2] + power[3]);
    return all > 0.0 ? ((weighted[0] + weighted[1]) + (weighted[2] + weighted[3])) / all : NAN;
}

void measure_model(double *row)
{
    // Four running sums, as in mean_wavenumber. Comparisons rather than
    // fmin and fmax, which cost a call per cell; a NaN passes both by, and a
    // field holding one has no range.
    double sums[4] = {}, least = HUGE_VAL, greatest = -HUGE_VAL;
    int above = 0;
    bool not_a_number = false;
    for (int n = 0; n < grid_cells; n += 4)
        for (int lane = 0; lane < 4; lane++) {
            const double v = field_re[n + lane];
            sums[lane] += v;
            above += v > 0.0;
            not_a_number = not_a_number || v != v;
            least = v < least ? v : least;
            greatest = v > greatest ? v : greatest;
        }
    if (not_a_number)
        least = greatest = NAN;
    const double mean = ((sums[0] + sums[1]) + (sums[2] + sums[3])) / grid_cells;
    double squares[4] = {};
    for (int n = 0; n < grid_cells; n += 4)
        for (int lane = 0; lane < 4; lane++) {
            const double d = field_re[n + lane] - mean;
            squares[lane] += d * d;
        }
    const double square = (squares[0] + squares[1]) + (squares[2] + squares[3]);
    row[col_step] = step_count;
    row[col_time] = step_count * dt;
    row[col_alpha] = step_count > 0 ? last_alpha : alpha;
    row[col_mean] = mean;
    row[col_rms] = std::sqrt(square / grid_cells);
    row[col_min] = least;
    row[col_max] = greatest;
    // After a step, spec_re and spec_im hold the spectrum whose inverse
    // transform is the new field: no transform is needed. Before the first,
    // they hold nothing yet.
    if (step_count > 0) {
        row[col_kbar] = mean_wavenumber(spec_re, spec_im);
    } else {
        static double re[grid_cells], im[grid_cells];
        static const double zero[grid_cells] = {};
        transform_pair(field_re, zero, re, im, 0);
        row[col_kbar] = mean_wavenumber(re, im);
    }
    row[col_above_zero] = above;
}

void note_before_callback(bool, int)
{
    steps_before = step_count;
    // A step reads alpha once, and the spinner writes it only between
    // callbacks.
    alpha_before = alpha;
}

int steps_after_callback(double *row)
{
    const int ran = step_count - steps_before;
    if (ran <= 0)
        return 0;
    last_alpha = alpha_before;
    measure_model(row);
    const growth_model model = {dt, last_alpha, stiffness, range_coeff};
    growth_add(&growth, spec_re, spec_im, step_count, &model);
    return ran;
}

void page_summary(const double *now, double *values)
{
    const double *row = now;
    const double two_pi = 2.0 * 3.141592653589793;
    const double fastest = fastest_wavenumber(stiffness, range_coeff);
    values[0] = row[col_kbar];
    values[1] = two_pi / row[col_kbar];
    values[2] = fastest;
    values[3] = two_pi / fastest;
    values[4] = grid_cells;
    const growth_comparison &kept = growth.kept;
    values[5] = growth.regime_over ? 0 : 1;
    values[6] = growth.neglected;
    // Agreement within 0.05 per unit time: about the scatter of a shell's
    // rate measured over a few steps while the field is small.
    values[7] = !kept.made ? 0 : kept.max_deviation <= 0.05 ? 1 : 2;
    values[8] = kept.made ? kept.first_step : NAN;
    values[9] = kept.made ? kept.last_step : NAN;
    values[10] = kept.made ? kept.max_deviation : NAN;
    values[11] = kept.made ? kept.k[kept.fastest_shell] : NAN;
}

int second_plot_rows(double *rows, int max)
{
    const growth_comparison &kept = growth.kept;
    int count = 0;
    // The plot shows the band that grows or nearly so; far beyond it the
    // theory falls steeply and would squeeze the band flat. The file keeps
    // every shell.
    const double shown_to = 1.25 * growth_band_high;
    for (int i = 0; kept.made && i < growth_shells && count < max; i++)
        if (kept.modes[i] > 0 && kept.k[i] <= shown_to) {
            double *row = rows + 4 * count++;
            row[0] = kept.k[i];
            row[1] = kept.measured_rate[i];
            row[2] = kept.theory_rate[i];
            row[3] = kept.modes[i];
        }
    return count;
}

const char *second_plot_file()
{
    static char text[16384];
    growth_csv(&growth.kept, text, sizeof text);
    return text;
}
