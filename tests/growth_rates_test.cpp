// SPDX-License-Identifier: MIT
// The field's growth shell by shell: spectra made of a few known modes give
// their rates, the theory column is L(k) - 3 alpha <phi^2> for a known field,
// the comparison stops where the neglected term grows, and the real step
// agrees with its linear theory while the field is small.
#include "common/random_draw.h"
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"
#include "measure/growth_rates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const double two_pi = 2.0 * M_PI;
const int cells = growth_side * growth_side;
const growth_model model = {0.1, 1.5, 2.0, 2.0 / M_PI};

growth_state growth;
double re[cells], im[cells];

// The linear rate at |k| = 2 pi sqrt(a^2 + b^2) / 64.
double linear_rate(int a, int b)
{
    const double k = two_pi * std::sqrt(static_cast<double>(a * a + b * b)) / growth_side;
    return model.alpha - model.stiffness * k * k - model.range_coeff * (4.0 - two_pi * k);
}

int flat(int a, int b)
{
    return ((a + growth_side) % growth_side) * growth_side + (b + growth_side) % growth_side;
}

// A real field's spectrum: mean phi0 and cosines of amplitude amp[i] at wave
// indices (a[i], b[i]); F(0) = 4096 phi0, F(+-k) = 4096 amp / 2.
void make_spectrum(double phi0, int count, const int *a, const int *b, const double *amp)
{
    std::memset(re, 0, sizeof re);
    std::memset(im, 0, sizeof im);
    re[0] = cells * phi0;
    for (int i = 0; i < count; i++) {
        re[flat(a[i], b[i])] += cells * amp[i] / 2;
        re[flat(-a[i], -b[i])] += cells * amp[i] / 2;
    }
}

TEST(GrowthRates, KnownModesGiveTheirRates)
{
    // Three modes in shells 3, 10 and 20, each growing or decaying at its own
    // rate, beside a mean that does not matter to them.
    const int a[] = {3, 0, 12}, b[] = {0, 10, 16};
    const double rate[] = {0.4, 0.9, -1.2};
    growth_start(&growth, 4);
    for (int step = 1; step <= 6; step++) {
        double amp[3];
        for (int i = 0; i < 3; i++)
            amp[i] = 1e-3 * std::exp(rate[i] * step * model.dt);
        make_spectrum(0.3 + 0.01 * step, 3, a, b, amp);
        growth_add(&growth, re, im, step, &model);
    }
    const growth_comparison &c = growth.kept;
    ASSERT_TRUE(c.made);
    EXPECT_EQ(c.first_step, 2);
    EXPECT_EQ(c.last_step, 6);
    // Exact but for rounding in exp and log: 1e-12 of rates of order 1.
    EXPECT_NEAR(c.measured_rate[3], 0.4, 1e-12);
    EXPECT_NEAR(c.measured_rate[10], 0.9, 1e-12);
    EXPECT_NEAR(c.measured_rate[20], -1.2, 1e-12);
    EXPECT_TRUE(std::isnan(c.measured_rate[5])) << "a shell with no power has no rate";
    EXPECT_EQ(c.fastest_shell, 10);
    EXPECT_NEAR(c.k[10], 10 * two_pi / 64, 1e-15);

    // Every wave vector but k = 0 is in one shell; shell 1 holds (+-1, 0),
    // (0, +-1) and the four (+-1, +-1), |k| sqrt 2 rounding to 1.
    int all = 0;
    for (int s = 0; s < growth_shells; s++)
        all += c.modes[s];
    EXPECT_EQ(all, cells - 1);
    EXPECT_EQ(c.modes[0], 0);
    EXPECT_EQ(c.modes[1], 8);
}

TEST(GrowthRates, TheoryIsTheLinearRateLessThreeAlphaMeanSquare)
{
    // Mean 0.2; in shell 10 a cosine at (10, 0) of amplitude 0.02 and one at
    // (9, 4), |k| 2 pi sqrt 97 / 64, of 0.01: the shell's theory weighs their
    // L by power, 4 : 1. <phi^2> = 0.2^2 + (0.02^2 + 0.01^2) / 2.
    const int a[] = {10, 9}, b[] = {0, 4};
    const double amp[] = {0.02, 0.01};
    growth_start(&growth, 1);
    for (int step = 7; step <= 8; step++) {
        make_spectrum(0.2, 2, a, b, amp);
        growth_add(&growth, re, im, step, &model);
    }
    const growth_comparison &c = growth.kept;
    ASSERT_TRUE(c.made);
    const double square_mean = 0.04 + (0.0004 + 0.0001) / 2;
    const double weighted = (4 * linear_rate(10, 0) + linear_rate(9, 4)) / 5;
    EXPECT_NEAR(c.theory_rate[10], weighted - 3 * model.alpha * square_mean, 1e-12);
    EXPECT_NEAR(c.measured_rate[10], 0.0, 1e-12);
    EXPECT_NEAR(growth.square_mean, square_mean, 1e-15);
    EXPECT_NEAR(growth.mean, 0.2, 1e-15);
    EXPECT_NEAR(growth.neglected, 3 * model.alpha * (0.0004 + 0.0001) / 2, 1e-15);
}

TEST(GrowthRates, ComparisonStopsWhereTheNeglectedTermGrows)
{
    // One cosine at the fastest wavenumber (10, 0) growing tenfold per step
    // from 1e-4: 3 alpha RMS^2 = 3 alpha amp^2 / 2 passes 0.002 of that
    // shell's |theory| (0.95, so 0.0019) between step 2 (amplitude 1e-2,
    // 2.3e-4) and step 3 (1e-1, 0.023), so the last interval inside is 1 -> 2.
    const int a[] = {10}, b[] = {0};
    growth_start(&growth, 1);
    for (int step = 0; step <= 5; step++) {
        const double amp[] = {1e-4 * std::pow(10.0, step)};
        make_spectrum(0.0, 1, a, b, amp);
        growth_add(&growth, re, im, step, &model);
    }
    EXPECT_TRUE(growth.regime_over);
    EXPECT_EQ(growth.kept.first_step, 1);
    EXPECT_EQ(growth.kept.last_step, 2);
    EXPECT_NEAR(growth.kept.measured_rate[10], std::log(10.0) / model.dt, 1e-9);
    // A restart, or a step that does not follow, measures no interval.
    growth_start(&growth, 1);
    const double small[] = {1e-4};
    make_spectrum(0.0, 1, a, b, small);
    growth_add(&growth, re, im, 3, &model);
    growth_add(&growth, re, im, 5, &model);
    EXPECT_FALSE(growth.kept.made);
}

TEST(GrowthRates, CsvHasARowPerShell)
{
    char text[8192];
    growth_start(&growth, 1);
    EXPECT_EQ(growth_csv(&growth.kept, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    const int a[] = {3}, b[] = {0};
    for (int step = 1; step <= 2; step++) {
        const double amp[] = {1e-3 * step};
        make_spectrum(0.1, 1, a, b, amp);
        growth_add(&growth, re, im, step, &model);
    }
    const int length = growth_csv(&growth.kept, text, sizeof text);
    const std::string csv(text);
    EXPECT_EQ(static_cast<int>(csv.size()), length);
    // The header and a row per shell but k = 0 (46 lines); shell 3's row,
    // the fourth line, has the amplitude's doubling, ln 2 / dt, and reads
    // back exactly.
    EXPECT_EQ(csv.rfind("k,measured_rate,theory_rate,modes\n", 0), 0u);
    std::size_t at = 0;
    for (int line = 0; line < 3; line++)
        at = csv.find('\n', at) + 1;
    double k, measured, theory;
    int modes;
    ASSERT_EQ(std::sscanf(text + at, "%lf,%lf,%lf,%d", &k, &measured, &theory, &modes), 4);
    EXPECT_EQ(k, growth.kept.k[3]);
    EXPECT_NEAR(measured, std::log(2.0) / model.dt, 1e-12);
    EXPECT_EQ(theory, growth.kept.theory_rate[3]);
    EXPECT_EQ(modes, growth.kept.modes[3]);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 46);
    // Cut short, it still ends with a 0 and says how long the whole is.
    char short_text[10];
    EXPECT_EQ(growth_csv(&growth.kept, short_text, sizeof short_text), length);
    EXPECT_STREQ(short_text, "k,measure");
}

// The program's start (restart_model on the page), its draws from a
// generator of the test's own seeded with seed.
std::uint32_t lcg_state;
int lcg_draw()
{
    lcg_state = lcg_state * 1103515245u + 12345u;
    return static_cast<int>((lcg_state >> 16) & 0x7fff);
}
void start_field(std::uint32_t seed)
{
    lcg_state = seed;
    random_source = lcg_draw;
    randomize_field();
    random_source = rand15;
    grid_to_field(field_re);
    std::fill(field_im, field_im + cells, 0.0);
    step_count = 0;
}

TEST(GrowthRates, RealStepFollowsItsLinearTheoryWhileTheFieldIsSmall)
{
    // The program's own start and step at alpha 1.5: the comparison kept
    // (steps 17 -> 22 or so) has every shell of 0.3 < |k| < 2 within
    // 0.03 of the theory, and the fastest at |k| = 2 pi 10 / 64 = 0.98,
    // where L(k) is largest.
    alpha = 1.5f;
    start_field(1);
    growth_start(&growth, 5);
    const growth_model m = {dt, alpha, stiffness, range_coeff};
    for (int s = 0; s < 40; s++) {
        advance_one_step(0);
        growth_add(&growth, spec_re, spec_im, step_count, &m);
    }
    const growth_comparison &c = growth.kept;
    ASSERT_TRUE(c.made);
    EXPECT_TRUE(growth.regime_over);
    EXPECT_GE(c.first_step, 10);
    EXPECT_LE(c.last_step, 30);
    EXPECT_LT(c.max_deviation, 0.03);
    EXPECT_EQ(c.fastest_shell, 10);
}

} // namespace
