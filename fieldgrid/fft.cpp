// SPDX-License-Identifier: MIT
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
int fft_max_lanes = 4;

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

// ---- the 64-point transform ----
//
// fieldgrid only ever transforms lines of 64, so that length has its own
// code, with every loop bound a constant, computing exactly what the general
// code computes. W lanes of a vector carry W butterflies at once: in a column
// pass each lane is a column of its own, W neighbouring columns loaded
// straight from the rows; in a row pass the lanes hold neighbouring twiddle
// indices of one row. Every lane does the very same IEEE operations in the
// same order as the scalar butterfly, on the same operands, and nothing is
// contracted into fused multiply-adds (the build passes -ffp-contract=off, and
// AVX2 alone does not include FMA), so no result changes by a bit. The
// butterflies of a stage touch disjoint elements, so two stages can share one
// sweep: each butterfly still sees its operands only after the stage before
// is done with them.

// W doubles side by side: four are AVX2, two are SSE2 on x86-64 and NEON on
// aarch64, and the compiler splits them into plain doubles on any other
// target; one lane is plain double arithmetic.
template <int W> struct lanes_of;
template <> struct lanes_of<1> {
    typedef double type __attribute__((vector_size(8)));
};
template <> struct lanes_of<2> {
    typedef double type __attribute__((vector_size(16)));
};
template <> struct lanes_of<4> {
    typedef double type __attribute__((vector_size(32)));
};
template <int W> using lanes = typename lanes_of<W>::type;

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
template <typename V> LANE_HELPER void splat(V &v, double x)
{
    double copies[sizeof v / sizeof x];
    for (double &c : copies)
        c = x;
    load(v, copies);
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

// Where each of the 64 elements goes in the bit-reversal permutation.
struct reversal64 {
    unsigned char of[64];
};

constexpr reversal64 make_reversal64()
{
    reversal64 s{};
    for (int i = 0; i < 64; ++i)
        for (int bit = 0; bit < 6; ++bit)
            s.of[i] |= (unsigned char)(((i >> bit) & 1) << (5 - bit));
    return s;
}

constexpr reversal64 reversal = make_reversal64();

// The cosine-sine pair of twiddle index k in every lane (along false), or
// those of k, k + 1, ... side by side (along true).
template <int W, bool along>
LANE_HELPER void twiddle(lanes<W> &wr, lanes<W> &wi, const double *tab_re, const double *tab_im,
                         int k)
{
    if (along) {
        load(wr, tab_re + k);
        load(wi, tab_im + k);
    } else {
        splat(wr, tab_re[k]);
        splat(wi, tab_im[k]);
    }
}

// One sweep over 64-point lines: the stage with half-block length h, and
// with `two` the stage h/2 as well. Element p of the lines is read at
// from + p * from_step and written to to + p * to_step, which may be the same
// place. along: the lanes hold twiddle indices j .. j+W-1 of one line (h/2
// or h at least W); otherwise each lane is a line of its own. With `last`,
// element p is written to its bit-reversed place instead, times 1/64 when
// `scaled`: the permutation and the inverse's scaling of fft1, which
// multiplies every element once whichever place it moves to.
template <int W, bool along, int h, bool two, bool last = false, bool scaled = false>
LANE_HELPER void sweep(const double *from_re, const double *from_im, std::ptrdiff_t from_step,
                       double *to_re, double *to_im, std::ptrdiff_t to_step, const double *tab_re,
                       const double *tab_im)
{
    typedef lanes<W> V;
    constexpr int q = two ? h / 2 : h, parts = two ? 4 : 2;
    for (int j = 0; j < q; j += along ? W : 1) {
        V wr[3], wi[3];
        twiddle<W, along>(wr[0], wi[0], tab_re, tab_im, h + j);
        if (two) {
            twiddle<W, along>(wr[1], wi[1], tab_re, tab_im, h + q + j);
            twiddle<W, along>(wr[2], wi[2], tab_re, tab_im, q + j);
        }
        for (int b = 0; b < 64; b += 2 * h) {
            // Single stage: p and p + h; two stages: p, p + h/2, p + h, p + 3h/2.
            const int p[4] = {b + j, b + j + q, b + j + h, b + j + h + q};
            V xr[4], xi[4];
#pragma GCC unroll 4
            for (int e = 0; e < parts; ++e) {
                load(xr[e], from_re + p[e] * from_step);
                load(xi[e], from_im + p[e] * from_step);
            }
            if (two) {
                butterfly(xr[0], xi[0], xr[2], xi[2], wr[0], wi[0]);
                butterfly(xr[1], xi[1], xr[3], xi[3], wr[1], wi[1]);
                butterfly(xr[0], xi[0], xr[1], xi[1], wr[2], wi[2]);
                butterfly(xr[2], xi[2], xr[3], xi[3], wr[2], wi[2]);
            } else {
                butterfly(xr[0], xi[0], xr[1], xi[1], wr[0], wi[0]);
            }
#pragma GCC unroll 4
            for (int e = 0; e < parts; ++e) {
                const std::ptrdiff_t at = (last ? reversal.of[p[e]] : p[e]) * to_step;
                store(to_re + at, scaled ? xr[e] * (1.0 / 64) : xr[e]);
                store(to_im + at, scaled ? xi[e] * (1.0 / 64) : xi[e]);
            }
        }
    }
}

// v[k][i] becomes v[i][k].
LANE_HELPER void transpose(lanes<1> (&)[1]) {}
LANE_HELPER void transpose(lanes<2> (&v)[2])
{
    const lanes<2> a = v[0], b = v[1];
    v[0] = __builtin_shufflevector(a, b, 0, 2);
    v[1] = __builtin_shufflevector(a, b, 1, 3);
}
#if defined(__x86_64__) || defined(__i386__) // four lanes are the AVX2 path's only
LANE_HELPER void transpose(lanes<4> (&v)[4])
{
    const lanes<4> a = __builtin_shufflevector(v[0], v[1], 0, 4, 2, 6);
    const lanes<4> b = __builtin_shufflevector(v[0], v[1], 1, 5, 3, 7);
    const lanes<4> c = __builtin_shufflevector(v[2], v[3], 0, 4, 2, 6);
    const lanes<4> d = __builtin_shufflevector(v[2], v[3], 1, 5, 3, 7);
    v[0] = __builtin_shufflevector(a, c, 0, 1, 4, 5);
    v[1] = __builtin_shufflevector(b, d, 0, 1, 4, 5);
    v[2] = __builtin_shufflevector(a, c, 2, 3, 6, 7);
    v[3] = __builtin_shufflevector(b, d, 2, 3, 6, 7);
}
#endif

// The end of a row: the stages whose half-blocks are narrower than the lanes,
// then the permutation (and the inverse's scaling), from `from` to `to`. The
// W blocks of W elements whose first elements end up side by side are
// loaded and transposed, so that each vector holds one position of every
// block; the stages then run across the lanes, and each vector is already in
// its permuted order.
template <int W, bool scaled>
LANE_HELPER void row_end(const double *from_re, const double *from_im, double *to_re, double *to_im,
                         const double *tab_re, const double *tab_im)
{
    typedef lanes<W> V;
    for (int base = 0; base < 64 / W; base += W) {
        V xr[W], xi[W];
#pragma GCC unroll 4
        for (int k = 0; k < W; ++k) {
            load(xr[k], from_re + reversal.of[base + k]);
            load(xi[k], from_im + reversal.of[base + k]);
        }
        transpose(xr);
        transpose(xi);
#pragma GCC unroll 4
        for (int h = W / 2; h >= 1; h /= 2)
#pragma GCC unroll 4
            for (int i = 0; i < W; ++i)
                if ((i & h) == 0) {
                    V wr, wi;
                    twiddle<W, false>(wr, wi, tab_re, tab_im, h + (i & (h - 1)));
                    butterfly(xr[i], xi[i], xr[i + h], xi[i + h], wr, wi);
                }
#pragma GCC unroll 4
        for (int i = 0; i < W; ++i) {
            store(to_re + base + reversal.of[i], scaled ? xr[i] * (1.0 / 64) : xr[i]);
            store(to_im + base + reversal.of[i], scaled ? xi[i] * (1.0 / 64) : xi[i]);
        }
    }
}

// One 64-point transform: the 64 x 64 grid read from (src_re, src_im) and
// written to (re, im), rows step apart, or with grid false the one line
// (re, im). Column groups go through a buffer on the stack and rows through
// buf_re, buf_im (64 doubles each): a pass reads its input in its first sweep
// and writes its output in its last, so src may be (re, im) or apart from it.
struct job64 {
    const double *src_re, *src_im;
    double *re, *im;
    std::ptrdiff_t step;
    bool grid;
    double *buf_re, *buf_im;
};

template <int W, bool scaled> LANE_HELPER void run64(const job64 &job)
{
    const double *tr = scaled ? inverse_re : forward_re;
    const double *ti = scaled ? inverse_im : forward_im;
    const std::ptrdiff_t step = job.step;
    for (int c = 0; job.grid && c < 64; c += W) {
        double col_re[64 * W], col_im[64 * W];
        sweep<W, false, 32, true>(job.src_re + c, job.src_im + c, step, col_re, col_im, W, tr, ti);
        sweep<W, false, 8, true>(col_re, col_im, W, col_re, col_im, W, tr, ti);
        sweep<W, false, 2, true, true, scaled>(col_re, col_im, W, job.re + c, job.im + c, step, tr,
                                               ti);
    }
    double *buf_re = job.buf_re, *buf_im = job.buf_im;
    for (int r = 0; r < (job.grid ? 64 : 1); ++r) {
        double *row_re = job.re + r * step, *row_im = job.im + r * step;
        sweep<W, true, 32, true>(row_re, row_im, 1, buf_re, buf_im, 1, tr, ti);
        sweep<W, true, 8, true>(buf_re, buf_im, 1, buf_re, buf_im, 1, tr, ti);
        if (W <= 2)
            sweep<W, true, 2, W == 1>(buf_re, buf_im, 1, buf_re, buf_im, 1, tr, ti);
        row_end<W, scaled>(buf_re, buf_im, row_re, row_im, tr, ti);
    }
}

// The instances of run64, one function per lane count and instruction set.
void transform64_one_lane(const job64 &job, int flag)
{
    flag != 0 ? run64<1, true>(job) : run64<1, false>(job);
}

void transform64_two_lanes(const job64 &job, int flag)
{
    flag != 0 ? run64<2, true>(job) : run64<2, false>(job);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) void transform64_avx2(const job64 &job, int flag)
{
    flag != 0 ? run64<4, true>(job) : run64<4, false>(job);
}
#endif

// Runs the 64-point transform with the widest lanes this processor has, up
// to fft_max_lanes.
void fft64(const job64 &job, int flag)
{
    ensure_tables();
#if defined(__x86_64__) || defined(__i386__)
    static const bool has_avx2 = __builtin_cpu_supports("avx2");
    if (has_avx2 && fft_max_lanes >= 4) {
        transform64_avx2(job, flag);
        return;
    }
#endif
    if (fft_max_lanes >= 2)
        transform64_two_lanes(job, flag);
    else
        transform64_one_lane(job, flag);
}

// True when the 4096-double grids at a and b share no element.
bool apart(const double *a, const double *b)
{
    const std::uintptr_t from = reinterpret_cast<std::uintptr_t>(a);
    const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(b);
    const std::uintptr_t bytes = sizeof(double) * 4096;
    return from + bytes <= to || to + bytes <= from;
}

// fft2 of the grid (src_re, src_im) into (re, im); src is either (re, im)
// itself or, for n = 64 and stride 64, a grid apart from it. Returns false
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
    if (n == 64) {
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
        double buf_re[64], buf_im[64];
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
        std::memcpy(dst, src, sizeof(double) * 4096);
        return;
    }
    for (int k = 0; k < 4096; ++k)
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
        if (!grid_transform(src_re, src_im, dst_re, dst_im, 64, 64, flag)) {
            std::memcpy(dst_re, src_re, sizeof(double) * 4096);
            std::memcpy(dst_im, src_im, sizeof(double) * 4096);
        }
        return;
    }
    copy_grid(src_re, dst_re);
    copy_grid(src_im, dst_im);
    fft2(dst_re, dst_im, 64, 64, flag);
}
