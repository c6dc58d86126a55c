// SPDX-License-Identifier: MIT
// Averages of a run that say how sure they are: each mean with its standard
// error, taken from the run's own correlations, over a stretch of the run
// that the data chose, and a verdict in words against an exact answer.
//
// Successive steps of a simulation are correlated, so the naive error s/sqrt(n)
// of a mean is too small by sqrt(2 tau_int). tau_int (in steps; 0.5 for
// independent samples, (1 + rho) / (2 (1 - rho)) for an AR(1) series) comes
// from the autocorrelation function summed up to a window W chosen as the
// smallest W >= 5 tau_int(W) (Sokal's automatic window; Wolff's correction
// for the subtracted mean, tau (1 + (2W + 1)/n)). Lags up to stats_lag_max
// are measured, so tau_int up to about 25 steps; a longer one leaves the
// estimate "not settled".
//
// The start of a run is the approach to equilibrium. Of the starts t0 on a
// coarse grid (the beginnings of the segments below), the one kept maximises
// the effective number of independent samples (n - t0) / (2 tau_int) (Chodera
// 2016), the least of it over the series when there are several.
//
// The variance of each series (for a specific heat or a susceptibility) has
// its error from a jackknife over groups of consecutive samples at least
// 8 tau_int long.
//
// Cost: stats_add is O(stats_lag_max) per series, a fraction of a
// microsecond; stats_summarise is O(segments x stats_lag_max), tens of
// microseconds, for the page's few readings a second. Memory is fixed, about
// 430 KB per run_statistics, whatever the run's length: the run is held as
// at most stats_segments_max segments of sums, which double in length (pairs
// merge) when they are all used. Keep the struct static, not on a stack.
#pragma once

#include <cstddef>

// Series a run_statistics follows side by side (spingrid: e, m, |m|).
constexpr int stats_max_series = 3;
// Longest lag of the autocorrelation measured, in steps.
constexpr int stats_lag_max = 128;
// Segments held; also the candidate starts of the kept stretch.
constexpr int stats_segments_max = 64;
// Length of a segment until the first merge; at least stats_lag_max, so that
// a product x_i x_(i+t) reaches back at most one segment.
constexpr long stats_first_segment = 128;
// Jackknife bins per segment.
constexpr int stats_bins_per_segment = 8;
// Fewer effective samples than this and an estimate is not settled.
constexpr double stats_min_effective = 20.0;
// Halves of the kept stretch whose means differ by more than this many of
// their combined standard errors make a series drifting.
constexpr double stats_drift_sigmas = 3.0;

// One segment's sums for one series, values taken less the series' shift
// (its first value, so that the sums keep their digits).
struct stats_segment {
    double sum;                     // of x
    double lag[stats_lag_max + 1];  // lag[t]: of x_i x_(i+t), i in the segment
    double head[stats_lag_max + 1]; // head[t]: of the segment's first t values
    double bin_sum[stats_bins_per_segment];
    double bin_squares[stats_bins_per_segment];
};

// A run's statistics: plain data, changed only by the functions below.
struct run_statistics {
    int series;          // 1 .. stats_max_series
    long steps;          // values added since stats_start
    long segment_length; // stats_first_segment times a power of two
    double shift[stats_max_series];
    // The latest stats_lag_max + 1 values of each series, twice, so that
    // they read as one stretch from any point.
    double ring[stats_max_series][2 * (stats_lag_max + 1)];
    stats_segment segment[stats_segments_max][stats_max_series];
};

// What the kept stretch says of one series.
struct series_estimate {
    double mean;              // average over the kept stretch
    double sigma;             // standard error of mean (0 for a constant series)
    double tau_int;           // integrated autocorrelation time in steps, >= 0.5
    double effective_samples; // used / (2 tau_int)
    double variance;          // of the samples about mean (divided by their count)
    double variance_sigma;    // its standard error, by the jackknife
    bool window_reached;      // false: tau_int is only a lower bound
    bool drifting;            // the halves' means differ by > stats_drift_sigmas
    // Enough to judge by: at least stats_min_effective effective samples,
    // and not drifting with its window reached: for the first series (the
    // energy, which falls while domains coarsen) its own; for the others
    // every series of the run's (m can look steady while e still falls).
    bool settled;
};

struct stats_summary {
    int series;
    long steps;     // values added since stats_start
    long discarded; // at the start, as the approach to equilibrium
    long used;      // steps - discarded
    series_estimate of[stats_max_series];
};

// Forgets everything and starts a new run of series series (1 ..
// stats_max_series). Call it when the temperature (or whatever sets the
// equilibrium) changes: the statistics are of one equilibrium.
void stats_start(run_statistics *s, int series);

// Adds one step's values, values[0 .. series-1]. O(stats_lag_max) per series.
void stats_add(run_statistics *s, const double *values);

// The estimates now: chooses the stretch kept, then estimates each series
// over it. With no values yet, means and errors are NaN and nothing is
// settled. Reads s only.
void stats_summarise(const run_statistics *s, stats_summary *out);

// ---- spingrid: energy and magnetisation per spin ----

// Starts a run of the three series e, m and |m|.
void spin_stats_start(run_statistics *s);

// Adds a sweep's energy per spin e (-2 .. 2) and magnetisation per spin m
// (-1 .. 1).
void spin_stats_add(run_statistics *s, double e, double m);

struct spin_summary {
    long steps, discarded, used; // sweeps, as in stats_summary
    series_estimate e, m, abs_m; // energy, magnetisation and |m| per spin
    double c, c_sigma;           // specific heat N (<e^2> - <e>^2) / T^2, error
    double chi, chi_sigma;       // susceptibility N (<m^2> - <|m|>^2) / T, error
    bool c_settled, chi_settled; // c: e's and |m|'s (the whole run's); chi: |m|'s
    double effective_samples;    // least of e, m and |m|
    bool drifting;               // any of them
};

// The estimates now for a lattice of spins = L*L spins at temperature T > 0.
void spin_stats_summarise(const run_statistics *s, int spins, double T, spin_summary *out);

// ---- verdicts ----

enum stats_verdict {
    verdict_not_settled, // too few independent samples, or still drifting
    verdict_agrees,      // within 2 sigma of the exact value
    verdict_differs,     // further than that
};

struct stats_comparison {
    stats_verdict verdict;
    double sigmas; // |measured - exact| / sigma; +inf when sigma is 0 and they differ
};

// Judges measured +- sigma against exact. settled: the estimate's settled
// flag; when false, or when measured or sigma is NaN, the verdict is
// verdict_not_settled.
stats_comparison compare_with_exact(double measured, double sigma, bool settled, double exact);

// The verdict in words, UTF-8 ("σ" is U+03C3), into text (size bytes, ended
// by a 0): "agrees (within 2σ)", "differs by 7.3σ" (one decimal; "differs by
// more than 1000σ" from there on, a zero sigma included) or "not settled yet".
// Returns the length of the whole text, as snprintf does.
int comparison_text(stats_comparison c, char *text, std::size_t size);
