// SPDX-License-Identifier: MIT
#include "measure/run_statistics.h"

#include <cmath>
#include <cstdio>
#include <cstring>

constexpr int ring_half = stats_lag_max + 1;
// Sokal's window: the smallest W with W >= window_factor * tau_int(W).
constexpr double window_factor = 5.0;

void stats_start(run_statistics *s, int series)
{
    std::memset(static_cast<void *>(s), 0, sizeof *s);
    s->series = series < 1 ? 1 : series > stats_max_series ? stats_max_series : series;
    s->segment_length = stats_first_segment;
}

// Halves the segments in use by adding neighbours, so that each covers twice
// the steps; called when every segment is full and another is needed.
static void merge_segments(run_statistics *s)
{
    const int half_bins = stats_bins_per_segment / 2;
    for (int k = 0; k < stats_segments_max / 2; k++)
        for (int c = 0; c < s->series; c++) {
            stats_segment &to = s->segment[k][c];
            const stats_segment &a = s->segment[2 * k][c];
            const stats_segment &b = s->segment[2 * k + 1][c];
            stats_segment merged;
            merged.sum = a.sum + b.sum;
            for (int t = 0; t <= stats_lag_max; t++) {
                merged.lag[t] = a.lag[t] + b.lag[t];
                merged.head[t] = a.head[t];
            }
            for (int j = 0; j < half_bins; j++) {
                merged.bin_sum[j] = a.bin_sum[2 * j] + a.bin_sum[2 * j + 1];
                merged.bin_squares[j] = a.bin_squares[2 * j] + a.bin_squares[2 * j + 1];
                merged.bin_sum[half_bins + j] = b.bin_sum[2 * j] + b.bin_sum[2 * j + 1];
                merged.bin_squares[half_bins + j] = b.bin_squares[2 * j] + b.bin_squares[2 * j + 1];
            }
            to = merged;
        }
    std::memset(static_cast<void *>(s->segment[stats_segments_max / 2]), 0,
                sizeof s->segment[0] * (stats_segments_max / 2));
    s->segment_length *= 2;
}

void stats_add(run_statistics *s, const double *values)
{
    const long j = s->steps;
    if (j == 0)
        for (int c = 0; c < s->series; c++)
            s->shift[c] = values[c];
    long k = j / s->segment_length;
    if (k == stats_segments_max) {
        merge_segments(s);
        k = j / s->segment_length;
    }
    const long offset = j - k * s->segment_length;
    const long bin = offset / (s->segment_length / stats_bins_per_segment);
    const int at = static_cast<int>(j % ring_half);
    // Lags up to `own` pair x_j with a value of this segment; longer ones
    // with one of the segment before, which owns them by its first index.
    const int own = offset < stats_lag_max ? static_cast<int>(offset) : stats_lag_max;
    const int reach = j < stats_lag_max ? static_cast<int>(j) : stats_lag_max;
    for (int c = 0; c < s->series; c++) {
        const double x = values[c] - s->shift[c];
        double *ring = s->ring[c];
        ring[at] = x;
        ring[at + ring_half] = x;
        // earlier[-t] is x_(j-t).
        const double *earlier = ring + at + ring_half;
        stats_segment &now = s->segment[k][c];
        now.sum += x;
        now.bin_sum[bin] += x;
        now.bin_squares[bin] += x * x;
        if (offset < stats_lag_max)
            now.head[offset + 1] = now.head[offset] + x;
        for (int t = 0; t <= own; t++)
            now.lag[t] += x * earlier[-t];
        if (reach > own) {
            stats_segment &before = s->segment[k - 1][c];
            for (int t = own + 1; t <= reach; t++)
                before.lag[t] += x * earlier[-t];
        }
    }
    s->steps = j + 1;
}

namespace {

// Sums over a stretch from a segment's start to the latest value, of one
// series (shifted values).
struct stretch_sums {
    long n;
    double sum;
    const double *lag;  // lag[t]: of x_i x_(i+t) within the stretch
    const double *head; // head[t]: of its first t values
    const double *tail; // tail[t]: of its last t values
};

struct tau_estimate {
    double mean_shifted, variance, tau;
    int window;
    bool reached;
};

// The autocovariance at lags 0 .. W of the stretch, and Sokal's window on it.
tau_estimate estimate_tau(const stretch_sums &z)
{
    tau_estimate r;
    const double n = static_cast<double>(z.n);
    const double mean = z.sum / n;
    r.mean_shifted = mean;
    // Sums of (x_i - mean)(x_(i+t) - mean) over the n - t pairs.
    auto covariance = [&](int t) {
        const double first = z.sum - z.tail[t];
        const double second = z.sum - z.head[t];
        const double pairs = n - t;
        return (z.lag[t] - mean * (first + second) + pairs * mean * mean) / pairs;
    };
    const double gamma0 = covariance(0);
    r.variance = gamma0 > 0.0 ? gamma0 : 0.0;
    if (!(gamma0 > 0.0)) {
        // A constant stretch: nothing is correlated, and the error is 0.
        r.tau = 0.5;
        r.window = 0;
        r.reached = true;
        return r;
    }
    const long longest = (z.n - 1) / 2 < stats_lag_max ? (z.n - 1) / 2 : stats_lag_max;
    double tau = 0.5;
    r.reached = false;
    int window = 0;
    for (int t = 1; t <= longest; t++) {
        tau += covariance(t) / gamma0;
        window = t;
        if (t >= window_factor * tau) {
            r.reached = true;
            break;
        }
    }
    r.window = window;
    tau *= 1.0 + (2.0 * window + 1.0) / n;
    // Anticorrelation would promise more than n independent samples; a
    // statistical inefficiency below 1 is not believed (as pymbar does).
    r.tau = tau > 0.5 ? tau : 0.5;
    return r;
}

// A start of the kept stretch, with what it would give.
struct candidate {
    long used;
    tau_estimate tau[stats_max_series];
    double effective; // least over the series
    int window;       // of the series with the least
    bool reached;     // every series' window
};

// Bins of one series over the kept stretch, in order, with their counts.
struct bin_list {
    int count;
    double n[stats_segments_max * stats_bins_per_segment];
    double sum[stats_segments_max * stats_bins_per_segment];
    double squares[stats_segments_max * stats_bins_per_segment];
};

void gather_bins(const run_statistics *s, int first_segment, int c, bin_list *bins)
{
    const long bin_length = s->segment_length / stats_bins_per_segment;
    const long from = first_segment * s->segment_length;
    bins->count = 0;
    for (long start = from; start < s->steps; start += bin_length) {
        const long k = start / s->segment_length;
        const long b = (start - k * s->segment_length) / bin_length;
        const long end = start + bin_length < s->steps ? start + bin_length : s->steps;
        bins->n[bins->count] = static_cast<double>(end - start);
        bins->sum[bins->count] = s->segment[k][c].bin_sum[b];
        bins->squares[bins->count] = s->segment[k][c].bin_squares[b];
        bins->count++;
    }
}

// Whether the means of the stretch's halves (split at the bin boundary
// nearest its middle) differ by more than stats_drift_sigmas of their
// errors, each error from the stretch's variance and tau_int.
bool halves_differ(const bin_list &bins, double variance, double tau)
{
    double total = 0.0;
    for (int b = 0; b < bins.count; b++)
        total += bins.n[b];
    double n1 = 0.0, s1 = 0.0, s2 = 0.0;
    int split = 0;
    while (split < bins.count && n1 + bins.n[split] / 2.0 <= total / 2.0) {
        n1 += bins.n[split];
        s1 += bins.sum[split];
        split++;
    }
    for (int b = split; b < bins.count; b++)
        s2 += bins.sum[b];
    const double n2 = total - n1;
    if (n1 <= 0.0 || n2 <= 0.0)
        return false;
    const double difference = std::fabs(s1 / n1 - s2 / n2);
    if (difference == 0.0)
        return false;
    const double sigma = std::sqrt(2.0 * tau * variance * (1.0 / n1 + 1.0 / n2));
    return !(difference <= stats_drift_sigmas * sigma);
}

// The variance of the stretch about its mean, and its jackknife error over
// groups of bins at least 8 tau long (fewer when that would leave fewer than
// 8 groups).
void jackknife_variance(const bin_list &bins, double bin_length, double tau, double *variance,
                        double *sigma)
{
    double n = 0.0, sum = 0.0, squares = 0.0;
    for (int b = 0; b < bins.count; b++) {
        n += bins.n[b];
        sum += bins.sum[b];
        squares += bins.squares[b];
    }
    auto variance_of = [](double count, double total, double total_squares) {
        const double mean = total / count;
        const double v = total_squares / count - mean * mean;
        return v > 0.0 ? v : 0.0;
    };
    *variance = variance_of(n, sum, squares);
    int per_group = 1;
    while (per_group * bin_length < 8.0 * tau && bins.count / (2 * per_group) >= 8)
        per_group *= 2;
    double group_n[stats_segments_max * stats_bins_per_segment];
    double group_sum[stats_segments_max * stats_bins_per_segment];
    double group_squares[stats_segments_max * stats_bins_per_segment];
    int groups = 0;
    for (int b = 0; b < bins.count; b += per_group) {
        double gn = 0.0, gs = 0.0, gq = 0.0;
        for (int i = b; i < b + per_group && i < bins.count; i++) {
            gn += bins.n[i];
            gs += bins.sum[i];
            gq += bins.squares[i];
        }
        // A short last group (the run's latest steps) joins the one before.
        if (groups > 0 && gn < 0.5 * per_group * bin_length) {
            group_n[groups - 1] += gn;
            group_sum[groups - 1] += gs;
            group_squares[groups - 1] += gq;
            continue;
        }
        group_n[groups] = gn;
        group_sum[groups] = gs;
        group_squares[groups] = gq;
        groups++;
    }
    if (groups < 2) {
        *sigma = NAN;
        return;
    }
    double left_out[stats_segments_max * stats_bins_per_segment];
    double average = 0.0;
    for (int g = 0; g < groups; g++) {
        left_out[g] = variance_of(n - group_n[g], sum - group_sum[g], squares - group_squares[g]);
        average += left_out[g];
    }
    average /= groups;
    double spread = 0.0;
    for (int g = 0; g < groups; g++)
        spread += (left_out[g] - average) * (left_out[g] - average);
    *sigma = std::sqrt(spread * (groups - 1) / groups);
}

} // namespace

void stats_summarise(const run_statistics *s, stats_summary *out)
{
    out->series = s->series;
    out->steps = s->steps;
    out->discarded = 0;
    out->used = s->steps;
    for (int c = 0; c < stats_max_series; c++) {
        series_estimate &e = out->of[c];
        e.mean = e.sigma = e.tau_int = e.variance = e.variance_sigma = NAN;
        e.effective_samples = 0.0;
        e.window_reached = e.drifting = e.settled = false;
    }
    if (s->steps == 0)
        return;

    const long n = s->steps;
    const int last = static_cast<int>((n - 1) / s->segment_length);
    // The latest values, newest first, give each series' tail sums.
    static double tail[stats_max_series][stats_lag_max + 1];
    static double lag[stats_max_series][stats_lag_max + 1];
    double sum[stats_max_series] = {};
    const int at = static_cast<int>((n - 1) % ring_half);
    for (int c = 0; c < s->series; c++) {
        const double *newest = s->ring[c] + at + ring_half;
        tail[c][0] = 0.0;
        for (int t = 1; t <= stats_lag_max; t++)
            tail[c][t] = tail[c][t - 1] + (t <= n ? newest[1 - t] : 0.0);
        for (int t = 0; t <= stats_lag_max; t++)
            lag[c][t] = 0.0;
    }

    // Candidate starts: each full segment in the first half of the run,
    // latest first, so that the sums grow by one segment at a time; the
    // first segment even when it is not full yet. More than half is never
    // discarded: a run whose approach takes longer is drifting still.
    static candidate candidates[stats_segments_max];
    for (int k = last; k >= 0; k--) {
        for (int c = 0; c < s->series; c++) {
            const stats_segment &g = s->segment[k][c];
            sum[c] += g.sum;
            for (int t = 0; t <= stats_lag_max; t++)
                lag[c][t] += g.lag[t];
        }
        candidate &here = candidates[k];
        here.used = n - k * s->segment_length;
        if (k > 0 && 2 * k * s->segment_length > n)
            continue;
        here.reached = true;
        here.effective = HUGE_VAL;
        for (int c = 0; c < s->series; c++) {
            const stretch_sums z = {here.used, sum[c], lag[c], s->segment[k][c].head, tail[c]};
            here.tau[c] = estimate_tau(z);
            here.reached = here.reached && here.tau[c].reached;
            const double e = static_cast<double>(here.used) / (2.0 * here.tau[c].tau);
            if (e < here.effective) {
                here.effective = e;
                here.window = here.tau[c].window;
            }
        }
    }
    // Starts whose every window was reached come first; among them, the most
    // effective samples (Chodera). Those are estimates, each uncertain by
    // sqrt(2 (2W + 1) / n) of itself (Sokal), and on a run already in
    // equilibrium the maximum wanders over the starts, throwing good samples
    // away. The stretches are nested, so an earlier start's estimate differs
    // from the best's by about sqrt(2 (2W + 1) (1/n_best - 1/n_earlier)) of
    // itself from noise alone: the earliest start within that of the best is
    // kept.
    int best = 0;
    for (int k = 1; k <= last && 2 * k * s->segment_length <= n; k++) {
        const candidate &a = candidates[k], &b = candidates[best];
        if ((a.reached && !b.reached) || (a.reached == b.reached && a.effective > b.effective))
            best = k;
    }
    const candidate &top = candidates[best];
    for (int k = 0; k < best; k++) {
        const candidate &earlier = candidates[k];
        const double noise = std::sqrt(
            2.0 * (2.0 * top.window + 1.0) *
            (1.0 / static_cast<double>(top.used) - 1.0 / static_cast<double>(earlier.used)));
        if (earlier.reached == top.reached && earlier.effective >= top.effective * (1.0 - noise)) {
            best = k;
            break;
        }
    }
    const tau_estimate *best_tau = candidates[best].tau;

    out->discarded = best * s->segment_length;
    out->used = n - out->discarded;
    const double used = static_cast<double>(out->used);
    static bin_list bins;
    for (int c = 0; c < s->series; c++) {
        series_estimate &e = out->of[c];
        const tau_estimate &t = best_tau[c];
        e.mean = s->shift[c] + t.mean_shifted;
        e.tau_int = t.tau;
        e.sigma = std::sqrt(2.0 * t.tau * t.variance / used);
        e.effective_samples = used / (2.0 * t.tau);
        e.window_reached = t.reached;
        gather_bins(s, best, c, &bins);
        e.drifting = halves_differ(bins, t.variance, t.tau);
        jackknife_variance(bins, static_cast<double>(s->segment_length / stats_bins_per_segment),
                           t.tau, &e.variance, &e.variance_sigma);
    }
    // The first series (spingrid's energy) settles by itself: it is the one
    // that falls while domains coarsen. The others settle only with the whole
    // run: a series that still drifts, or whose window is not reached, says
    // the run is not in equilibrium yet, even when another, alone, looks
    // steady (as m does while domains coarsen). So a lattice caught in
    // long-lived bands, steady in energy while its walls wander, gives the
    // energy a verdict (that it differs) and the magnetisation none.
    bool equilibrated = true;
    for (int c = 0; c < s->series; c++)
        equilibrated = equilibrated && out->of[c].window_reached && !out->of[c].drifting;
    for (int c = 0; c < s->series; c++) {
        const series_estimate &e = out->of[c];
        const bool steady = c == 0 ? e.window_reached && !e.drifting : equilibrated;
        out->of[c].settled = steady && e.effective_samples >= stats_min_effective;
    }
}

void spin_stats_start(run_statistics *s)
{
    stats_start(s, 3);
}

void spin_stats_add(run_statistics *s, double e, double m)
{
    const double values[3] = {e, m, std::fabs(m)};
    stats_add(s, values);
}

void spin_stats_summarise(const run_statistics *s, int spins, double T, spin_summary *out)
{
    stats_summary all;
    stats_summarise(s, &all);
    out->steps = all.steps;
    out->discarded = all.discarded;
    out->used = all.used;
    out->e = all.of[0];
    out->m = all.of[1];
    out->abs_m = all.of[2];
    const double N = spins;
    // <m^2> - <|m|>^2 is the variance of |m|.
    out->c = N * out->e.variance / (T * T);
    out->c_sigma = N * out->e.variance_sigma / (T * T);
    out->chi = N * out->abs_m.variance / T;
    out->chi_sigma = N * out->abs_m.variance_sigma / T;
    // A specific heat is the energy's fluctuation, which the slowest motion
    // of the lattice (walls of bands wandering) feeds: it waits for the
    // whole run to settle, as the magnetisations do.
    out->c_settled = out->e.settled && out->abs_m.settled && !std::isnan(out->c_sigma);
    out->chi_settled = out->abs_m.settled && !std::isnan(out->chi_sigma);
    out->effective_samples =
        std::fmin(out->e.effective_samples,
                  std::fmin(out->m.effective_samples, out->abs_m.effective_samples));
    out->drifting = out->e.drifting || out->m.drifting || out->abs_m.drifting;
}

stats_comparison compare_with_exact(double measured, double sigma, bool settled, double exact)
{
    stats_comparison r = {verdict_not_settled, NAN};
    if (!settled || std::isnan(measured) || std::isnan(sigma) || std::isnan(exact))
        return r;
    const double difference = std::fabs(measured - exact);
    r.sigmas = difference == 0.0 ? 0.0 : difference / sigma;
    r.verdict = r.sigmas <= 2.0 ? verdict_agrees : verdict_differs;
    return r;
}

int comparison_text(stats_comparison c, char *text, std::size_t size)
{
    switch (c.verdict) {
    case verdict_agrees:
        return std::snprintf(text, size, "agrees (within 2\u03c3)");
    case verdict_differs:
        if (!(c.sigmas < 1000.0))
            return std::snprintf(text, size, "differs by more than 1000\u03c3");
        return std::snprintf(text, size, "differs by %.1f\u03c3", c.sigmas);
    case verdict_not_settled:
        break;
    }
    return std::snprintf(text, size, "not settled yet");
}
