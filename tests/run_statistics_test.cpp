// SPDX-License-Identifier: MIT
// The run's statistics against series whose answers are known: independent
// noise (the error of the mean is s / sqrt(n)), an AR(1) series (tau_int =
// (1 + rho) / (2 (1 - rho))), a constant, a drift and a relaxation; the
// verdict's words; and the real lattice, which must not be judged while it
// is still ordering.
#include "common/random_draw.h"
#include "measure/run_statistics.h"
#include "spingrid/lattice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// Large: one per test program, reused by each test after stats_start.
run_statistics stats;

stats_summary summary_now()
{
    stats_summary s;
    stats_summarise(&stats, &s);
    return s;
}

void add_one(double x)
{
    stats_add(&stats, &x);
}

std::string text_of(stats_comparison c)
{
    char text[64];
    comparison_text(c, text, sizeof text);
    return text;
}

// An AR(1) series x_t = rho x_(t-1) + sqrt(1 - rho^2) e_t of unit variance,
// started in its stationary state, e_t standard normal.
void add_ar1(double rho, long n, std::uint64_t seed)
{
    std::mt19937_64 generator(seed);
    std::normal_distribution<double> normal;
    double x = normal(generator);
    for (long t = 0; t < n; t++) {
        add_one(x);
        x = rho * x + std::sqrt(1.0 - rho * rho) * normal(generator);
    }
}

TEST(RunStatistics, IndependentNoiseHasTheNaiveError)
{
    stats_start(&stats, 1);
    const long n = 1L << 16;
    add_ar1(0.0, n, 11);
    const stats_summary s = summary_now();
    const series_estimate &x = s.of[0];
    // sigma = 1 / sqrt(n) = 1/256. Sokal's window on 65536 samples measures
    // tau to about 2 %; 10 % is five of those.
    EXPECT_NEAR(x.sigma, 1.0 / 256.0, 0.1 / 256.0);
    EXPECT_NEAR(x.tau_int, 0.5, 0.05);
    EXPECT_NEAR(x.mean, 0.0, 4.0 / 256.0);
    // Nothing to discard in a stationary series: Chodera's choice keeps the
    // most samples there are, give or take a segment's worth of noise.
    EXPECT_GE(s.used, n / 2);
    EXPECT_NEAR(x.effective_samples, static_cast<double>(s.used), 0.1 * s.used);
    EXPECT_TRUE(x.settled);
    EXPECT_EQ(compare_with_exact(x.mean, x.sigma, x.settled, 0.0).verdict, verdict_agrees);
}

TEST(RunStatistics, Ar1SeriesHasItsKnownCorrelationTime)
{
    stats_start(&stats, 1);
    const double rho = 0.9;
    const long n = 1L << 18;
    add_ar1(rho, n, 12);
    const stats_summary s = summary_now();
    const series_estimate &x = s.of[0];
    const double tau = (1 + rho) / (2 * (1 - rho)); // 9.5
    // Sokal's variance of tau, 2 (2W + 1) / n tau^2 with W about 48, is 2.7 %
    // of tau in one s.d.; the tolerances are four of those.
    EXPECT_NEAR(x.tau_int, tau, 0.11 * tau);
    const double sigma = std::sqrt(2.0 * tau / static_cast<double>(s.used));
    EXPECT_NEAR(x.sigma, sigma, 0.06 * sigma);
    EXPECT_NEAR(x.mean, 0.0, 4.0 * sigma);
    // The variance is 1; of a Gaussian AR(1) series its estimate's s.d. is
    // sqrt(2 (1 + rho^2) / ((1 - rho^2) n)), which the jackknife over about
    // 500 groups meets to some 5 %: 20 % is four of those.
    const double variance_sigma =
        std::sqrt(2.0 * (1 + rho * rho) / ((1 - rho * rho) * static_cast<double>(s.used)));
    EXPECT_NEAR(x.variance, 1.0, 4.0 * variance_sigma);
    EXPECT_NEAR(x.variance_sigma, variance_sigma, 0.2 * variance_sigma);
    EXPECT_FALSE(x.drifting);
    EXPECT_TRUE(x.settled);
}

TEST(RunStatistics, ConstantSeriesHasNoErrorAndNoNaN)
{
    stats_start(&stats, 1);
    for (int t = 0; t < 1000; t++)
        add_one(0.75);
    const series_estimate x = summary_now().of[0];
    EXPECT_EQ(x.mean, 0.75);
    EXPECT_EQ(x.sigma, 0.0);
    EXPECT_EQ(x.tau_int, 0.5);
    EXPECT_EQ(x.variance, 0.0);
    EXPECT_EQ(x.variance_sigma, 0.0);
    EXPECT_EQ(x.effective_samples, 1000.0);
    EXPECT_FALSE(x.drifting);
    EXPECT_TRUE(x.settled);
    EXPECT_EQ(text_of(compare_with_exact(x.mean, x.sigma, x.settled, 0.75)),
              "agrees (within 2\u03c3)");
    EXPECT_EQ(text_of(compare_with_exact(x.mean, x.sigma, x.settled, 0.5)),
              "differs by more than 1000\u03c3");
}

TEST(RunStatistics, DriftingSeriesIsNotSettled)
{
    // Noise of unit s.d. on a trend that moves 4 s.d. over the run, and on
    // one that moves 1.
    for (double rise : {4.0, 1.0}) {
        stats_start(&stats, 1);
        std::mt19937_64 generator(13);
        std::normal_distribution<double> normal;
        const long n = 4000;
        for (long t = 0; t < n; t++)
            add_one(rise * static_cast<double>(t) / n + normal(generator));
        const series_estimate x = summary_now().of[0];
        EXPECT_FALSE(x.settled) << "rise " << rise;
        EXPECT_EQ(text_of(compare_with_exact(x.mean, x.sigma, x.settled, x.mean)),
                  "not settled yet")
            << "rise " << rise;
    }
}

TEST(RunStatistics, RelaxationIsDiscardedAndWhatStaysAgrees)
{
    // A start 5 s.d. away relaxing with a time of 100 steps, then noise
    // about 0: the start must go, and the rest agree with 0.
    stats_start(&stats, 1);
    std::mt19937_64 generator(14);
    std::normal_distribution<double> normal;
    const long n = 8000;
    for (long t = 0; t < n; t++)
        add_one(5.0 * std::exp(-static_cast<double>(t) / 100.0) + normal(generator));
    const stats_summary s = summary_now();
    // After 500 steps the remaining offset is 0.03, below a tenth of the
    // error of the mean over what is kept; before 200 it is 0.7.
    EXPECT_GE(s.discarded, 200);
    EXPECT_LE(s.discarded, n / 2);
    EXPECT_TRUE(s.of[0].settled);
    EXPECT_EQ(compare_with_exact(s.of[0].mean, s.of[0].sigma, true, 0.0).verdict, verdict_agrees);
}

TEST(RunStatistics, StartForgetsTheRunBefore)
{
    stats_start(&stats, 1);
    const stats_summary empty = summary_now();
    EXPECT_EQ(empty.steps, 0);
    EXPECT_TRUE(std::isnan(empty.of[0].mean));
    EXPECT_FALSE(empty.of[0].settled);

    add_ar1(0.5, 3000, 15);
    const stats_summary alone = summary_now();
    stats_start(&stats, 1);
    add_ar1(0.9, 5000, 16);
    stats_start(&stats, 1);
    add_ar1(0.5, 3000, 15);
    const stats_summary again = summary_now();
    EXPECT_EQ(again.steps, alone.steps);
    EXPECT_EQ(again.discarded, alone.discarded);
    EXPECT_EQ(again.of[0].mean, alone.of[0].mean);
    EXPECT_EQ(again.of[0].sigma, alone.of[0].sigma);
    EXPECT_EQ(again.of[0].variance_sigma, alone.of[0].variance_sigma);
}

TEST(StatsVerdict, SaysAgreesDiffersOrNotSettled)
{
    EXPECT_EQ(text_of(compare_with_exact(1.0, 0.1, true, 1.15)), "agrees (within 2\u03c3)");
    // Exactly 2 sigma still agrees.
    EXPECT_EQ(compare_with_exact(1.0, 0.25, true, 1.5).verdict, verdict_agrees);
    const stats_comparison far = compare_with_exact(1.0, 0.1, true, 1.73);
    EXPECT_EQ(far.verdict, verdict_differs);
    EXPECT_NEAR(far.sigmas, 7.3, 1e-12);
    EXPECT_EQ(text_of(far), "differs by 7.3\u03c3");
    EXPECT_EQ(text_of(compare_with_exact(1.0, 0.1, true, 0.75)), "differs by 2.5\u03c3");
    EXPECT_EQ(text_of(compare_with_exact(1.0, 0.1, false, 1.0)), "not settled yet");
    EXPECT_EQ(compare_with_exact(NAN, 0.1, true, 1.0).verdict, verdict_not_settled);
    EXPECT_EQ(compare_with_exact(1.0, NAN, true, 1.0).verdict, verdict_not_settled);
    // "σ" is two bytes in UTF-8; a short buffer is cut, and the length the
    // whole text needs returned.
    EXPECT_EQ(std::string("\u03c3"), "\xcf\x83");
    char text[8];
    EXPECT_EQ(comparison_text(far, text, sizeof text), 16);
    EXPECT_EQ(std::string(text), "differs");
}

// The lattice's energy and magnetisation per spin now.
void measure_lattice(double *e, double *m)
{
    const int L = lattice_size;
    long sum = 0, bonds = 0;
    for (int i = 0; i < L; i++)
        for (int j = 0; j < L; j++) {
            sum += spins[i][j];
            bonds += spins[i][j] * (spins[(i + 1) % L][j] + spins[i][(j + 1) % L]);
        }
    *m = static_cast<double>(sum) / (L * L);
    *e = -static_cast<double>(bonds) / (L * L);
}

TEST(SpinStatistics, NothingIsJudgedWhileTheLatticeOrders)
{
    // From a random start at T = 1 the energy is still falling after 40
    // sweeps, while m may look steady: no row of the run is settled.
    lattice_size = lattice_max;
    for (unsigned seed = 1; seed <= 10; seed++) {
        srand(seed);
        randomize_spins();
        spin_stats_start(&stats);
        for (int sweep = 0; sweep < 40; sweep++) {
            metropolis_sweep(1);
            double e, m;
            measure_lattice(&e, &m);
            spin_stats_add(&stats, e, m);
        }
        spin_summary s;
        spin_stats_summarise(&stats, lattice_size * lattice_size, 1.0, &s);
        EXPECT_FALSE(s.e.settled || s.m.settled || s.abs_m.settled || s.c_settled || s.chi_settled)
            << "seed " << seed;
    }
}

TEST(SpinStatistics, SpecificHeatAndSusceptibilityComeFromTheVariances)
{
    // e alternating -1.9 and -2.1 (variance 0.01), m alternating 0.5 and
    // -0.7 (|m| 0.5 and 0.7: variance 0.01), on 100 spins at T = 2.
    spin_stats_start(&stats);
    for (int t = 0; t < 2000; t++)
        spin_stats_add(&stats, t % 2 ? -1.9 : -2.1, t % 2 ? 0.5 : -0.7);
    spin_summary s;
    spin_stats_summarise(&stats, 100, 2.0, &s);
    EXPECT_NEAR(s.e.mean, -2.0, 1e-12);
    EXPECT_NEAR(s.m.mean, -0.1, 1e-12);
    EXPECT_NEAR(s.abs_m.mean, 0.6, 1e-12);
    EXPECT_NEAR(s.c, 100 * 0.01 / 4.0, 1e-10);
    EXPECT_NEAR(s.chi, 100 * 0.01 / 2.0, 1e-10);
    // Every group holds as many of each value: nothing varies between them.
    EXPECT_NEAR(s.c_sigma, 0.0, 1e-10);
    EXPECT_TRUE(s.c_settled && s.chi_settled);
}

} // namespace
