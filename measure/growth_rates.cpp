// SPDX-License-Identifier: MIT
#include "measure/growth_rates.h"

#include <cmath>
#include <cstdio>
#include <cstring>

constexpr int cells = growth_side * growth_side;
constexpr double two_pi = 2.0 * 3.141592653589793;

namespace {

// |k| of each flat index as the step computes it, and its shell.
struct wave_table {
    double k[cells];
    int shell[cells];
    int modes[growth_shells];
};

const wave_table &waves()
{
    static wave_table w;
    static bool made = false;
    if (!made) {
        for (int n = 0; n < cells; n++) {
            int a = n / growth_side, b = n % growth_side;
            a = a > growth_side / 2 ? a - growth_side : a;
            b = b > growth_side / 2 ? b - growth_side : b;
            const double kx = a * two_pi / growth_side, ky = b * two_pi / growth_side;
            w.k[n] = std::sqrt(kx * kx + ky * ky);
            w.shell[n] =
                static_cast<int>(std::lround(std::sqrt(static_cast<double>(a * a + b * b))));
            if (n > 0)
                w.modes[w.shell[n]]++;
        }
        made = true;
    }
    return w;
}

bool same_model(const growth_model &a, const growth_model &b)
{
    return a.dt == b.dt && a.alpha == b.alpha && a.stiffness == b.stiffness &&
           a.range_coeff == b.range_coeff;
}

// L(k) of each flat index for the model m, made again when m changes.
const double *linear_rates(const growth_model *m)
{
    static double rate[cells];
    static growth_model made_for;
    static bool made = false;
    if (!made || !same_model(*m, made_for)) {
        const wave_table &w = waves();
        for (int n = 0; n < cells; n++) {
            const double k = w.k[n];
            rate[n] = m->alpha - m->stiffness * k * k - m->range_coeff * (4.0 - two_pi * k);
        }
        made_for = *m;
        made = true;
    }
    return rate;
}

bool in_band(int shell)
{
    const double k = shell * two_pi / growth_side;
    return k > growth_band_low && k < growth_band_high;
}

// Averages the held intervals into the kept comparison.
void keep_comparison(growth_state *g, int last_step)
{
    const wave_table &w = waves();
    growth_comparison &c = g->kept;
    c.made = true;
    c.first_step = g->interval_first_step[0];
    c.last_step = last_step;
    c.max_deviation = 0.0;
    c.max_deviation_shell = -1;
    c.fastest_shell = -1;
    for (int s = 0; s < growth_shells; s++) {
        c.k[s] = s * two_pi / growth_side;
        c.modes[s] = s == 0 ? 0 : w.modes[s];
        double measured = 0.0, theory = 0.0;
        for (int i = 0; i < g->intervals; i++) {
            measured += g->measured[i][s];
            theory += g->theory[i][s];
        }
        c.measured_rate[s] = s == 0 ? NAN : measured / g->intervals;
        c.theory_rate[s] = s == 0 ? NAN : theory / g->intervals;
        if (s == 0 || std::isnan(c.measured_rate[s]))
            continue;
        const double deviation = std::fabs(c.measured_rate[s] - c.theory_rate[s]);
        if (in_band(s) && !(deviation <= c.max_deviation)) {
            c.max_deviation = deviation;
            c.max_deviation_shell = s;
        }
        if (in_band(s) &&
            (c.fastest_shell < 0 || c.measured_rate[s] > c.measured_rate[c.fastest_shell]))
            c.fastest_shell = s;
    }
}

} // namespace

void growth_start(growth_state *g, int average)
{
    std::memset(static_cast<void *>(g), 0, sizeof *g);
    g->average = average < 1 ? 1 : average > growth_max_average ? growth_max_average : average;
    g->mean = g->rms = g->square_mean = g->neglected = NAN;
}

void growth_add(growth_state *g, const double *spec_re, const double *spec_im, int step,
                const growth_model *m)
{
    const wave_table &w = waves();
    const double *rate = linear_rates(m);
    // The field is real, so F(-k) is the conjugate of F(k), of the same
    // power: the columns 0 .. 32 of each row hold every power once or (for
    // 1 .. 31, whose partners lie in 33 .. 63) stand for two. Neighbouring
    // indices mostly share a shell: four sets of sums, one per column modulo
    // 4, keep each addition from waiting for the one before.
    double power4[4][growth_shells] = {}, linear4[4][growth_shells] = {};
    for (int row = 0; row < cells; row += growth_side) {
        for (int b = 0; b < growth_side / 2; b += 4)
            for (int lane = 0; lane < 4; lane++) {
                const int i = row + b + lane;
                const double weight = b + lane == 0 ? 1.0 : 2.0;
                const double p = weight * (spec_re[i] * spec_re[i] + spec_im[i] * spec_im[i]);
                power4[lane][w.shell[i]] += p;
                linear4[lane][w.shell[i]] += p * rate[i];
            }
        const int i = row + growth_side / 2;
        const double p = spec_re[i] * spec_re[i] + spec_im[i] * spec_im[i];
        power4[0][w.shell[i]] += p;
        linear4[0][w.shell[i]] += p * rate[i];
    }
    double power[growth_shells], linear[growth_shells];
    for (int s = 0; s < growth_shells; s++) {
        power[s] = (power4[0][s] + power4[1][s]) + (power4[2][s] + power4[3][s]);
        linear[s] = (linear4[0][s] + linear4[1][s]) + (linear4[2][s] + linear4[3][s]);
    }
    // k = 0 sits in shell 0 alone, which has no rates.
    power[0] = linear[0] = 0.0;
    // Parseval, for the unscaled transform: sum of phi^2 over the cells is
    // sum |F|^2 / cells.
    double varying = 0.0;
    for (int s = 1; s < growth_shells; s++)
        varying += power[s];
    const double scale = static_cast<double>(cells) * cells;
    g->mean = spec_re[0] / cells;
    g->rms = std::sqrt(varying / scale);
    g->square_mean = (spec_re[0] * spec_re[0] + spec_im[0] * spec_im[0] + varying) / scale;
    g->neglected = 3.0 * m->alpha * g->rms * g->rms;

    const bool follows =
        g->have_previous && step == g->previous_step + 1 && same_model(*m, g->previous_model);
    if (!follows)
        g->intervals = 0;
    if (follows && !g->regime_over) {
        // The interval's rates, shell by shell.
        double measured[growth_shells], theory[growth_shells];
        const double cubic = 3.0 * m->alpha * 0.5 * (g->previous_square_mean + g->square_mean);
        double largest = 0.0;
        for (int s = 0; s < growth_shells; s++) {
            const double before = g->previous_power[s], after = power[s];
            if (s == 0 || !(before > 0.0) || !(after > 0.0)) {
                measured[s] = theory[s] = NAN;
                continue;
            }
            measured[s] = std::log(after / before) / (2.0 * m->dt);
            theory[s] = 0.5 * (g->previous_linear[s] / before + linear[s] / after) - cubic;
        }
        // The scale of the rates: the theory's at the band's shell centres,
        // whatever power they hold.
        for (int s = 1; s < growth_shells; s++)
            if (in_band(s)) {
                const double k = s * two_pi / growth_side;
                const double rate =
                    m->alpha - m->stiffness * k * k - m->range_coeff * (4.0 - two_pi * k) - cubic;
                largest = std::fabs(rate) > largest ? std::fabs(rate) : largest;
            }
        if (g->neglected > growth_regime_fraction * largest) {
            g->regime_over = true;
        } else {
            if (g->intervals == g->average) {
                for (int i = 1; i < g->average; i++) {
                    g->interval_first_step[i - 1] = g->interval_first_step[i];
                    std::memcpy(g->measured[i - 1], g->measured[i], sizeof measured);
                    std::memcpy(g->theory[i - 1], g->theory[i], sizeof theory);
                }
                g->intervals--;
            }
            g->interval_first_step[g->intervals] = g->previous_step;
            std::memcpy(g->measured[g->intervals], measured, sizeof measured);
            std::memcpy(g->theory[g->intervals], theory, sizeof theory);
            g->intervals++;
            if (g->intervals == g->average)
                keep_comparison(g, step);
        }
    }
    g->have_previous = true;
    g->previous_step = step;
    g->previous_model = *m;
    std::memcpy(g->previous_power, power, sizeof power);
    std::memcpy(g->previous_linear, linear, sizeof linear);
    g->previous_square_mean = g->square_mean;
}

int growth_csv(const growth_comparison *c, char *text, std::size_t size)
{
    // 45 rows of three numbers of at most 24 characters and a count: 8 KB
    // holds them all.
    char whole[8192];
    int length = 0;
    if (c->made) {
        length = std::snprintf(whole, sizeof whole, "k,measured_rate,theory_rate,modes\n");
        for (int s = 1; s < growth_shells; s++)
            if (c->modes[s] > 0)
                length +=
                    std::snprintf(whole + length, sizeof whole - length, "%.17g,%.17g,%.17g,%d\n",
                                  c->k[s], c->measured_rate[s], c->theory_rate[s], c->modes[s]);
    }
    if (size > 0) {
        const std::size_t copied = static_cast<std::size_t>(length) < size ? length : size - 1;
        std::memcpy(text, whole, copied);
        text[copied] = 0;
    }
    return length;
}
