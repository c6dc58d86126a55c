// SPDX-License-Identifier: MIT
// Radix-2 decimation-in-frequency FFT (Gentleman-Sande butterflies on
// natural-order input, bit-reversed output, then a bit-reversal permutation),
// and the two-dimensional transform built from it by columns and rows.
//
// The 64-point transform has code of its own, in fft_lanes64.cpp; this file
// holds every other length, the twiddle tables both use, and the checks and
// copies around the transforms.
#include "fieldgrid/fft_private.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

// The transform's bits are part of every run.
#include "fieldgrid/no_fused_multiply_add.h"

void *(*fft_work_alloc)(std::size_t bytes) = std::malloc;
void (*fft_work_free)(void *block) = std::free;

alignas(64) double fft_forward_re[fft_table_max];
alignas(64) double fft_forward_im[fft_table_max];
alignas(64) double fft_inverse_re[fft_table_max];
alignas(64) double fft_inverse_im[fft_table_max];

namespace {

const double pi = 3.141592653589793;

// floor(log2 n) for n >= 1: how often n can be halved before reaching 1.
int floor_log2(int n)
{
    int m = 0;
    for (int a = n / 2; a != 0; a /= 2)
        ++m;
    return m;
}

void butterfly_stages(double *re, double *im, int n, int m, int flag)
{
    fft_ensure_tables(n);
    const double *tab_re = flag != 0 ? fft_inverse_re : fft_forward_re;
    const double *tab_im = flag != 0 ? fft_inverse_im : fft_forward_im;
    double d = (flag != 0 ? pi : -pi) / n;
    int h = n;
    for (int s = 0; s < m; ++s) {
        const int l = h;
        h = l / 2;
        d = 2 * d;
        const bool tabled = l <= fft_table_max;
        for (int j = 0; j < h; ++j) {
            double wr, wi;
            if (tabled) {
                wr = tab_re[h + j];
                wi = tab_im[h + j];
            } else {
                const double angle = j * d;
                wr = std::cos(angle);
                wi = std::sin(angle);
            }
            for (int p = j; p < n; p += l) {
                const int q = p + h;
                const double xr = re[p], xi = im[p];
                const double yr = re[q], yi = im[q];
                re[p] = xr + yr;
                im[p] = xi + yi;
                const double dr = xr - yr, di = xi - yi;
                re[q] = dr * wr - di * wi;
                im[q] = di * wr + dr * wi;
            }
        }
    }
}

// Moves element i to its bit-reversed index; r tracks the reversal of i by
// adding one at the top bit and carrying downwards.
void bit_reverse(double *re, double *im, int n)
{
    const int half = n / 2;
    int r = half;
    for (int i = 1; i <= n - 2; ++i) {
        if (i < r) {
            const double tr = re[i], ti = im[i];
            re[i] = re[r];
            im[i] = im[r];
            re[r] = tr;
            im[r] = ti;
        }
        int k = half;
        while (k <= r) {
            r -= k;
            k /= 2;
        }
        r += k;
    }
}

// True when the grids of grid_cells doubles at a and b share no element.
bool apart(const double *a, const double *b)
{
    const std::uintptr_t from = reinterpret_cast<std::uintptr_t>(a);
    const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(b);
    const std::uintptr_t bytes = sizeof(double) * grid_cells;
    return from + bytes <= to || to + bytes <= from;
}

// fft2 of the grid (src_re, src_im) into (re, im); src is either (re, im)
// itself or, for n = stride = grid_side, a grid apart from it. Returns false
// when it refused, with the message written and (re, im) untouched.
bool grid_transform(const double *src_re, const double *src_im, double *re, double *im, int n,
                    int stride, int flag)
{
    if (n < 2) {
        std::fputs("Error : Illegal parameter in fft2()\n", stderr);
        return false;
    }
    const int m = floor_log2(n);
    if (n != (1 << m)) {
        std::fputs("Error : n != 2 ^ k  in fft2()\n", stderr);
        return false;
    }
    // Rows closer than n elements would overlap, and a negative stride would
    // walk off the front of the arrays.
    if (stride < n) {
        std::fputs("Error : Illegal parameter in fft2()\n", stderr);
        return false;
    }
    double *work_re = static_cast<double *>(fft_work_alloc(sizeof(double) * n));
    if (work_re == nullptr) {
        std::fputs("Error : Out of memory  in fft2()\n", stderr);
        return false;
    }
    double *work_im = static_cast<double *>(fft_work_alloc(sizeof(double) * n));
    if (work_im == nullptr) {
        std::fputs("Error : Out of memory  in fft2()\n", stderr);
        fft_work_free(work_re);
        return false;
    }

    const std::ptrdiff_t step = stride;
    if (n == fft_lane_points) {
        fft64({src_re, src_im, re, im, step, true, work_re, work_im}, flag);
    } else {
        // Columns through the work vectors, then rows in place.
        for (int c = 0; c < n; ++c) {
            for (int r = 0; r < n; ++r) {
                work_re[r] = re[r * step + c];
                work_im[r] = im[r * step + c];
            }
            fft1(work_re, work_im, n, m, flag);
            for (int r = 0; r < n; ++r) {
                re[r * step + c] = work_re[r];
                im[r * step + c] = work_im[r];
            }
        }
        for (int r = 0; r < n; ++r)
            fft1(re + r * step, im + r * step, n, m, flag);
    }

    fft_work_free(work_im);
    fft_work_free(work_re);
    return true;
}

} // namespace

// For any n, fft1's stage recurrence takes the step d of the stage with
// half-block h from theta / n, doubling it until it equals theta / h;
// dividing by and doubling with powers of two is exact, so every n meets the
// very same d here, and so the same j*d, cosine and sine that it would
// compute itself.
void fft_fill_stage_pairs(int h)
{
    const double forward = -pi / h, inverse = pi / h;
    for (int j = 0; j < h; ++j) {
        fft_forward_re[h + j] = std::cos(j * forward);
        fft_forward_im[h + j] = std::sin(j * forward);
        fft_inverse_re[h + j] = std::cos(j * inverse);
        fft_inverse_im[h + j] = std::sin(j * inverse);
    }
}

void fft_ensure_tables(int n)
{
    // reach: the longest block whose stage has its pairs. Stages are filled
    // from the shortest up, under the lock, so that concurrent first calls
    // from several threads fill each exactly once; once the reach suffices,
    // a call takes no lock.
    static std::atomic<int> reach{1};
    static std::mutex filling;
    const int want = n < fft_table_max ? n : fft_table_max;
    if (reach.load(std::memory_order_acquire) >= want)
        return;
    const std::lock_guard<std::mutex> lock(filling);
    for (int l = 2 * reach.load(std::memory_order_relaxed); l <= want; l *= 2) {
        fft_fill_stage_pairs(l / 2);
        reach.store(l, std::memory_order_release);
    }
}

void fft1(double *re, double *im, int n, int m, int flag)
{
    if (n < 2) {
        std::fputs("Error : n < 2  in fft1()\n", stderr);
        return;
    }
    if (m <= 0)
        m = floor_log2(n);
    // An int n is below 2^31, so a larger m cannot match it (and 1 << m would
    // be undefined).
    if (m > 30 || n != (1 << m)) {
        std::fputs("Error : n != 2 ^ k  in fft1()\n", stderr);
        return;
    }
    if (n == fft_lane_points) {
        double buf_re[fft_lane_points], buf_im[fft_lane_points];
        fft64({re, im, re, im, 1, false, buf_re, buf_im}, flag);
        return;
    }
    butterfly_stages(re, im, n, m, flag);
    bit_reverse(re, im, n);
    if (flag != 0) {
        const double scale = 1.0 / n;
        for (int i = 0; i < n; ++i) {
            re[i] *= scale;
            im[i] *= scale;
        }
    }
}

void fft2(double *re, double *im, int n, int stride, int flag)
{
    grid_transform(re, im, re, im, n, stride, flag);
}

void copy_grid(const double *src, double *dst)
{
    // Overlapping grids keep the element-by-element order, in which an
    // element may be read after an earlier step overwrote it.
    if (apart(src, dst)) {
        std::memcpy(dst, src, sizeof(double) * grid_cells);
        return;
    }
    for (int k = 0; k < grid_cells; ++k)
        dst[k] = src[k];
}

void transform_pair(const double *src_re, const double *src_im, double *dst_re, double *dst_im,
                    int flag)
{
    // When no destination overlaps a source or the other destination, the
    // transform reads the sources itself in its first sweep, which gives the
    // same bits as copying first and saves the copy.
    if (apart(dst_re, src_re) && apart(dst_re, src_im) && apart(dst_im, src_re) &&
        apart(dst_im, src_im) && apart(dst_re, dst_im)) {
        if (!grid_transform(src_re, src_im, dst_re, dst_im, grid_side, grid_side, flag)) {
            std::memcpy(dst_re, src_re, sizeof(double) * grid_cells);
            std::memcpy(dst_im, src_im, sizeof(double) * grid_cells);
        }
        return;
    }
    copy_grid(src_re, dst_re);
    copy_grid(src_im, dst_im);
    fft2(dst_re, dst_im, grid_side, grid_side, flag);
}
