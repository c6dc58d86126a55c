// Radix-2 decimation-in-frequency FFT (Gentleman-Sande butterflies on
// natural-order input, bit-reversed output, then a bit-reversal permutation),
// and the two-dimensional transform built from it by columns and rows.
#include "fieldgrid/fft.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void *(*fft_work_alloc)(std::size_t bytes) = std::malloc;
void (*fft_work_free)(void *block) = std::free;
bool fft_wide_lanes = true;

namespace {

const double pi = 3.141592653589793;

// Cosine-sine pairs for each direction: the pairs of block length L = 2h sit
// at [h, 2h), the one of twiddle index j at h + j. Index 0 is unused.
double forward_re[fft_table_max];
double forward_im[fft_table_max];
double inverse_re[fft_table_max];
double inverse_im[fft_table_max];

// Runs the stage recurrence of fft1 for n = fft_table_max and keeps each pair.
// For any n, the step d of the stage with block length L is theta / n doubled
// until it equals 2 theta / L; dividing by and doubling with powers of two is
// exact, so every n meets the very same d here, and so the same j*d, cosine
// and sine that it would compute itself.
bool fill_table(double *tab_re, double *tab_im, double theta)
{
    double d = theta / fft_table_max;
    for (int h = fft_table_max / 2; h >= 1; h /= 2) {
        d = 2 * d;
        for (int j = 0; j < h; ++j) {
            const double angle = j * d;
            tab_re[h + j] = std::cos(angle);
            tab_im[h + j] = std::sin(angle);
        }
    }
    return true;
}

// Fills both tables on first use; a function-local static so that concurrent
// first calls from several threads still fill them exactly once.
void ensure_tables()
{
    static const bool filled =
        fill_table(forward_re, forward_im, -pi) && fill_table(inverse_re, inverse_im, pi);
    (void)filled;
}

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
    ensure_tables();
    const double *tab_re = flag != 0 ? inverse_re : forward_re;
    const double *tab_im = flag != 0 ? inverse_im : forward_im;
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

// ---- the 64-point transform ----
//
// fieldgrid only ever transforms lines of 64, so that length has its own copy
// of the stages, the permutation and the scaling, with every loop bound a
// constant. It computes exactly what the general code computes. Neighbouring
// twiddle indices (or, in the last stages, neighbouring blocks) go through
// the butterfly side by side, one per lane of a vector. Within a stage the
// butterflies touch disjoint elements, and every lane does the very same IEEE
// operations in the same order as the scalar butterfly; nothing is contracted
// into fused multiply-adds (ISO C++ mode does not allow it, and AVX2 alone
// does not include FMA). So no result changes by a bit, only the instruction
// count does. The stages stay in their order, each one complete before the
// next.

// Two or four doubles side by side: SSE2, which every x86-64 has, or AVX2.
typedef double lanes2 __attribute__((vector_size(16)));
typedef double lanes4 __attribute__((vector_size(32)));
typedef long long picks2 __attribute__((vector_size(16)));
typedef long long picks4 __attribute__((vector_size(32)));

// The helpers are forced inline so that they take on the instruction set of
// the function using them; out of line they would be built for plain x86-64.
#define LANE_HELPER __attribute__((always_inline)) inline

// Lanes from and to arrays at any 8-byte boundary: copying the bytes keeps
// clear of alignment and aliasing rules and compiles to one unaligned move.
template <typename V> LANE_HELPER void load(V &v, const double *p)
{
    std::memcpy(&v, p, sizeof v);
}
template <typename V> LANE_HELPER void store(double *p, const V &v)
{
    std::memcpy(p, &v, sizeof v);
}

// The butterfly of the general stage loop, on every lane at once.
template <typename V>
LANE_HELPER void butterfly(V &xr, V &xi, V &yr, V &yi, const V &wr, const V &wi)
{
    const V sr = xr + yr, si = xi + yi;
    const V dr = xr - yr, di = xi - yi;
    xr = sr;
    xi = si;
    yr = dr * wr - di * wi;
    yi = di * wr + dr * wi;
}

// One stage with half-block length h, at least the lane count: twiddle
// indices j, j + 1, ... side by side, in every block of length 2h.
template <typename V, int h>
LANE_HELPER void stage64(double *re, double *im, const double *tab_re, const double *tab_im)
{
    constexpr int width = sizeof(V) / sizeof(double);
#pragma GCC unroll 16
    for (int j = 0; j < h; j += width) {
        V wr, wi;
        load(wr, tab_re + h + j);
        load(wi, tab_im + h + j);
#pragma GCC unroll 16
        for (int b = 0; b < 64; b += 2 * h) {
            const int p = b + j, q = p + h;
            V xr, xi, yr, yi;
            load(xr, re + p);
            load(xi, im + p);
            load(yr, re + q);
            load(yi, im + q);
            butterfly(xr, xi, yr, yi, wr, wi);
            store(re + p, xr);
            store(im + p, xi);
            store(re + q, yr);
            store(im + q, yi);
        }
    }
}

// A stage whose half-blocks are narrower than a vector (h = 2 with four
// lanes, h = 1): two neighbouring vectors a, b hold several whole blocks; the
// picks split them into the butterflies' x and y operands and put the results
// back in place, and w holds the twiddle of each lane's index j.
template <typename V, typename P>
LANE_HELPER void narrow_stage64(double *re, double *im, const V &wr, const V &wi, const P &x_of,
                                const P &y_of, const P &a_of, const P &b_of)
{
    constexpr int width = sizeof(V) / sizeof(double);
#pragma GCC unroll 16
    for (int b = 0; b < 64; b += 2 * width) {
        V ar, br, ai, bi;
        load(ar, re + b);
        load(br, re + b + width);
        load(ai, im + b);
        load(bi, im + b + width);
        V xr = __builtin_shuffle(ar, br, x_of), yr = __builtin_shuffle(ar, br, y_of);
        V xi = __builtin_shuffle(ai, bi, x_of), yi = __builtin_shuffle(ai, bi, y_of);
        butterfly(xr, xi, yr, yi, wr, wi);
        store(re + b, V(__builtin_shuffle(xr, yr, a_of)));
        store(re + b + width, V(__builtin_shuffle(xr, yr, b_of)));
        store(im + b, V(__builtin_shuffle(xi, yi, a_of)));
        store(im + b + width, V(__builtin_shuffle(xi, yi, b_of)));
    }
}

// The six stages, in their order; V sets the lane count.
template <typename V>
void stages64(double *re, double *im, const double *tab_re, const double *tab_im);

template <>
LANE_HELPER void stages64<lanes4>(double *re, double *im, const double *tab_re,
                                  const double *tab_im)
{
    stage64<lanes4, 32>(re, im, tab_re, tab_im);
    stage64<lanes4, 16>(re, im, tab_re, tab_im);
    stage64<lanes4, 8>(re, im, tab_re, tab_im);
    stage64<lanes4, 4>(re, im, tab_re, tab_im);
    // h = 2: elements b .. b+3 and b+4 .. b+7, twiddle indices 0 1 0 1.
    const lanes4 wr2 = {tab_re[2], tab_re[3], tab_re[2], tab_re[3]};
    const lanes4 wi2 = {tab_im[2], tab_im[3], tab_im[2], tab_im[3]};
    const picks4 low_halves = {0, 1, 4, 5}, high_halves = {2, 3, 6, 7};
    narrow_stage64(re, im, wr2, wi2, low_halves, high_halves, low_halves, high_halves);
    // h = 1: the pairs of four blocks, x = (a0 b0 a2 b2), y = (a1 b1 a3 b3).
    const lanes4 wr1 = {tab_re[1], tab_re[1], tab_re[1], tab_re[1]};
    const lanes4 wi1 = {tab_im[1], tab_im[1], tab_im[1], tab_im[1]};
    const picks4 evens = {0, 4, 2, 6}, odds = {1, 5, 3, 7};
    narrow_stage64(re, im, wr1, wi1, evens, odds, evens, odds);
}

template <>
LANE_HELPER void stages64<lanes2>(double *re, double *im, const double *tab_re,
                                  const double *tab_im)
{
    stage64<lanes2, 32>(re, im, tab_re, tab_im);
    stage64<lanes2, 16>(re, im, tab_re, tab_im);
    stage64<lanes2, 8>(re, im, tab_re, tab_im);
    stage64<lanes2, 4>(re, im, tab_re, tab_im);
    stage64<lanes2, 2>(re, im, tab_re, tab_im);
    // h = 1: the pairs of two blocks, x = (a0 b0), y = (a1 b1).
    const lanes2 wr1 = {tab_re[1], tab_re[1]};
    const lanes2 wi1 = {tab_im[1], tab_im[1]};
    const picks2 evens = {0, 2}, odds = {1, 3};
    narrow_stage64(re, im, wr1, wi1, evens, odds, evens, odds);
}

// The bit-reversal permutation of 64 points: the pairs the general loop
// swaps, in its order, and the eight indices that stay where they are.
struct reversal64 {
    unsigned char a[28], b[28], fixed[8];
};

constexpr reversal64 make_reversal64()
{
    reversal64 s{};
    int swaps = 0, fixed = 0;
    for (int i = 0; i < 64; ++i) {
        int r = 0;
        for (int bit = 0; bit < 6; ++bit)
            r |= ((i >> bit) & 1) << (5 - bit);
        if (i < r) {
            s.a[swaps] = (unsigned char)i;
            s.b[swaps] = (unsigned char)r;
            ++swaps;
        } else if (i == r) {
            s.fixed[fixed++] = (unsigned char)i;
        }
    }
    return s;
}

constexpr reversal64 reversal = make_reversal64();

// The permutation, and for the inverse the scaling with it: every element is
// multiplied once by the same 1/64 whichever place it moves to, so the result
// is that of scaling after the permutation, in one pass instead of two.
template <bool scaled> LANE_HELPER void reverse_and_scale64(double *re, double *im)
{
    const double s = 1.0 / 64;
#pragma GCC unroll 28
    for (int k = 0; k < 28; ++k) {
        const int i = reversal.a[k], r = reversal.b[k];
        const double tr = re[i], ti = im[i];
        re[i] = scaled ? re[r] * s : re[r];
        im[i] = scaled ? im[r] * s : im[r];
        re[r] = scaled ? tr * s : tr;
        im[r] = scaled ? ti * s : ti;
    }
    if (scaled) {
#pragma GCC unroll 8
        for (int k = 0; k < 8; ++k) {
            re[reversal.fixed[k]] *= s;
            im[reversal.fixed[k]] *= s;
        }
    }
}

// fft1 for n = 64 after its checks: stages, permutation, and the inverse's
// scaling. Keeping the permutation in the same function as the stages, built
// for the same instruction set, measured clearly faster than a separate call.
template <typename V> LANE_HELPER void transform64(double *re, double *im, int flag)
{
    if (flag != 0) {
        stages64<V>(re, im, inverse_re, inverse_im);
        reverse_and_scale64<true>(re, im);
    } else {
        stages64<V>(re, im, forward_re, forward_im);
        reverse_and_scale64<false>(re, im);
    }
}

void fft64_two_lanes(double *re, double *im, int flag)
{
    transform64<lanes2>(re, im, flag);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) void fft64_avx2(double *re, double *im, int flag)
{
    transform64<lanes4>(re, im, flag);
}
#endif

// Runs the 64-point transform with the widest lanes this processor has.
void fft64(double *re, double *im, int flag)
{
    ensure_tables();
#if defined(__x86_64__) || defined(__i386__)
    static const bool has_avx2 = __builtin_cpu_supports("avx2");
    if (has_avx2 && fft_wide_lanes) {
        fft64_avx2(re, im, flag);
        return;
    }
#endif
    fft64_two_lanes(re, im, flag);
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

// dst[k] = src[k] for k < n, two at a time (n is even); the arrays must not
// overlap.
void copy_line(const double *src, double *dst, int n)
{
#pragma GCC unroll 8
    for (int k = 0; k < n; k += 2) {
        lanes2 v;
        load(v, src + k);
        store(dst + k, v);
    }
}

// The column helpers of fft2: col_re, col_im point at the column's top
// element, and the column's elements lie step apart. They walk four rows at a
// time from a pointer to the first of them, a shape that measured clearly
// faster here than a plain unrolled loop over r * step.

void gather_column(double *work_re, double *work_im, const double *col_re, const double *col_im,
                   std::ptrdiff_t step, int n)
{
    int r = 0;
#pragma GCC unroll 2
    for (; r + 4 <= n; r += 4) {
        const double *a = col_re + r * step, *b = col_im + r * step;
        for (int k = 0; k < 4; ++k) {
            work_re[r + k] = a[k * step];
            work_im[r + k] = b[k * step];
        }
    }
    for (; r < n; ++r) {
        work_re[r] = col_re[r * step];
        work_im[r] = col_im[r * step];
    }
}

void scatter_column(const double *work_re, const double *work_im, double *col_re, double *col_im,
                    std::ptrdiff_t step, int n)
{
    for (int r = 0; r < n; ++r) {
        col_re[r * step] = work_re[r];
        col_im[r * step] = work_im[r];
    }
}

// Scatters the work vectors to the column and gathers the next column into
// them in the same sweep. Both lie in the same cache lines, which the
// power-of-two row distance tends to push out of the first-level cache
// between two separate sweeps.
void scatter_and_gather_next(double *work_re, double *work_im, double *col_re, double *col_im,
                             std::ptrdiff_t step, int n)
{
    int r = 0;
#pragma GCC unroll 2
    for (; r + 4 <= n; r += 4) {
        double *a = col_re + r * step, *b = col_im + r * step;
        for (int k = 0; k < 4; ++k) {
            const double next_re = a[k * step + 1], next_im = b[k * step + 1];
            a[k * step] = work_re[r + k];
            b[k * step] = work_im[r + k];
            work_re[r + k] = next_re;
            work_im[r + k] = next_im;
        }
    }
    for (; r < n; ++r) {
        const double next_re = col_re[r * step + 1], next_im = col_im[r * step + 1];
        col_re[r * step] = work_re[r];
        col_im[r * step] = work_im[r];
        work_re[r] = next_re;
        work_im[r] = next_im;
    }
}

} // namespace

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
    if (n == 64) {
        fft64(re, im, flag);
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
    if (n < 2) {
        std::fputs("Error : Illegal parameter in fft2()\n", stderr);
        return;
    }
    const int m = floor_log2(n);
    if (n != (1 << m)) {
        std::fputs("Error : n != 2 ^ k  in fft2()\n", stderr);
        return;
    }
    // Rows closer than n elements would overlap, and a negative stride would
    // walk off the front of the arrays.
    if (stride < n) {
        std::fputs("Error : Illegal parameter in fft2()\n", stderr);
        return;
    }
    double *work_re = static_cast<double *>(fft_work_alloc(sizeof(double) * n));
    if (work_re == nullptr) {
        std::fputs("Error : Out of memory  in fft2()\n", stderr);
        return;
    }
    double *work_im = static_cast<double *>(fft_work_alloc(sizeof(double) * n));
    if (work_im == nullptr) {
        std::fputs("Error : Out of memory  in fft2()\n", stderr);
        fft_work_free(work_re);
        return;
    }

    // Columns go through a contiguous copy, so the strided access stays in
    // the gather and scatter loops; rows take the same path through the work
    // vectors.
    const std::ptrdiff_t step = stride;
    gather_column(work_re, work_im, re, im, step, n);
    for (int c = 0; c < n; ++c) {
        fft1(work_re, work_im, n, m, flag);
        if (c + 1 < n)
            scatter_and_gather_next(work_re, work_im, re + c, im + c, step, n);
        else
            scatter_column(work_re, work_im, re + c, im + c, step, n);
    }
    for (int r = 0; r < n; ++r) {
        double *row_re = re + r * step;
        double *row_im = im + r * step;
        copy_line(row_re, work_re, n);
        copy_line(row_im, work_im, n);
        fft1(work_re, work_im, n, m, flag);
        copy_line(work_re, row_re, n);
        copy_line(work_im, row_im, n);
    }

    fft_work_free(work_im);
    fft_work_free(work_re);
}

void copy_grid(const double *src, double *dst)
{
    const int count = 4096;
    // Overlapping grids keep the element-by-element order, in which an
    // element may be read after an earlier step overwrote it.
    const std::uintptr_t from = reinterpret_cast<std::uintptr_t>(src);
    const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(dst);
    const std::uintptr_t bytes = sizeof(double) * count;
    if (from + bytes <= to || to + bytes <= from) {
        std::memcpy(dst, src, sizeof(double) * count);
        return;
    }
    for (int k = 0; k < count; ++k)
        dst[k] = src[k];
}

void transform_pair(const double *src_re, const double *src_im, double *dst_re, double *dst_im,
                    int flag)
{
    copy_grid(src_re, dst_re);
    copy_grid(src_im, dst_im);
    fft2(dst_re, dst_im, 64, 64, flag);
}
