// SPDX-License-Identifier: MIT
// The 64-point transform, the only length fieldgrid uses, for single lines
// (fft1) and for 64 x 64 grids (fft2, transform_pair).
//
// fieldgrid only ever transforms lines of 64, so that length has its own
// code, with every loop bound a constant, computing exactly what the general
// code computes. W lanes of a vector carry W butterflies at once. Every lane
// does the very same IEEE operations in the same order as the scalar
// butterfly, on the same operands, and nothing is contracted into fused
// multiply-adds (the pragma below), so no result changes by a bit.
// The butterflies of a stage touch disjoint elements, so a sweep over the
// data can run several stages on a group of elements held in registers:
// each butterfly still sees its operands only after the stage before is done
// with them.
//
// Which stages run where, named by their half-block length h (32 is the
// first stage, 1 the last); "32-16" is one sweep running two stages:
//
//   lanes          | column pass       | row pass, along | row end, across
//   ---------------+-------------------+-----------------+----------------
//   8 (AVX-512)    | 32-16-8, 4-2-1    | 32-16-8         | 4-2-1
//   4 (AVX2)       | 32-16, 8-4, 2-1   | 32-16, 8-4      | 2-1
//   2 (SSE2, ...)  | 32-16, 8-4, 2-1   | 32-16, 8-4, 2   | 1
//   1 (doubles)    | 32-16, 8-4, 2-1   | 32-16, 8-4, 2-1 | -
//
// Why:
// - Column pass: each lane is a column of its own, W neighbouring columns
//   loaded straight from the rows, so every stage runs the same way.
// - Row pass, along: the lanes hold W neighbouring twiddle indices of one
//   row, which works while the stage's half-block h is at least W.
// - Row end, across: the stages with h below W. W blocks of W elements are
//   transposed, so that each vector holds one position of every block, and
//   the stages run across the vectors; the vectors then lie in bit-reversed
//   order already, and are stored in their permuted places.
// - Sweep length: a sweep of s stages holds 2^s complex vectors, 2^(s+1)
//   registers. Three stages (16 registers) fit AVX-512's 32 registers, and a
//   whole row (16 registers) stays in them from its first stage to its last;
//   AVX2 and SSE2 have 16 registers and take two stages at a time.
// - The sweep that runs stage 1 writes every element to its bit-reversed
//   place, times 1/64 in the inverse: the permutation and the scaling of
//   fft1, which multiplies every element once whichever place it moves to.
#include "fieldgrid/fft_private.h"

#include <cstring>
#include <type_traits>

// The transform's bits are part of every run, in every lane width.
#include "fieldgrid/no_fused_multiply_add.h"

int fft_max_lanes = fft_widest_lanes;

namespace {

// The length of every line here, and its log2. The sweeps of run64 are laid
// out for exactly this length.
constexpr int points = fft_lane_points, point_bits = 6;
static_assert(points == 1 << point_bits, "the lane path transforms 64-point lines");

// W doubles side by side: eight are AVX-512, four AVX2, two are SSE2 on
// x86-64, NEON on aarch64 and SIMD128 on WebAssembly built with -msimd128,
// and the compiler splits them into plain doubles on any other target; one
// lane is plain double arithmetic.
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
template <> struct lanes_of<8> {
    typedef double type __attribute__((vector_size(64)));
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

// The butterfly of the general stage loop, on every lane at once. The
// twiddle w is a vector, or one double for every lane.
template <typename V, typename T>
LANE_HELPER void butterfly(V &xr, V &xi, V &yr, V &yi, const T &wr, const T &wi)
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
    unsigned char of[points];
};

constexpr reversal64 make_reversal64()
{
    reversal64 s{};
    for (int i = 0; i < points; ++i)
        for (int bit = 0; bit < point_bits; ++bit)
            s.of[i] |= (unsigned char)(((i >> bit) & 1) << (point_bits - 1 - bit));
    return s;
}

constexpr reversal64 reversal = make_reversal64();

// How the lanes of a vector lie in the lines it holds.
enum lane_layout {
    across, // lane l is line l of W: the same twiddle in every lane
    along,  // lane l is element l of W neighbours in one line: W twiddles side by side
};

// A twiddle's cosine or sine: W of them side by side (along), or one double
// that the arithmetic applies to every lane (across), which compilers load
// as a broadcast. (A broadcast vector made in a helper was assembled in
// halves for plain x86-64, which stalls eight lanes.)
template <int W, lane_layout layout>
using twiddle_of = typename std::conditional<layout == along, lanes<W>, double>::type;

// The twiddle of index k (along: of k, k + 1, ..., k + W - 1).
template <int W, lane_layout layout>
LANE_HELPER void twiddle(twiddle_of<W, layout> &wr, twiddle_of<W, layout> &wi, const double *tab_re,
                         const double *tab_im, int k)
{
    if constexpr (layout == along) {
        load(wr, tab_re + k);
        load(wi, tab_im + k);
    } else {
        wr = tab_re[k];
        wi = tab_im[k];
    }
}

// A group is what one sweep holds in registers: 2^stages vectors, x[k]
// holding the elements j + k * q of one block, q = h / 2^(stages - 1) (plus
// the lane index with layout along). In stage s of the group, x[k] meets
// x[k + half], half = 2^(stages - 1 - s), with twiddle index
// (h >> s) + j + (k & (half - 1)) * q. The group's 2^stages - 1 twiddles are
// fetched once, into w[half - 1 + (k & (half - 1))], for all the blocks.
template <int W, lane_layout layout, int h, int stages>
LANE_HELPER void group_twiddles(twiddle_of<W, layout> (&wr)[(1 << stages) - 1],
                                twiddle_of<W, layout> (&wi)[(1 << stages) - 1],
                                const double *tab_re, const double *tab_im, int j)
{
    constexpr int q = h >> (stages - 1);
#pragma GCC unroll 4
    for (int s = 0; s < stages; ++s) {
        const int half = 1 << (stages - 1 - s);
        // A bound that does not depend on s lets every compiler unroll both
        // loops, which keeps w in registers.
#pragma GCC unroll 4
        for (int k = 0; k < (1 << stages) / 2; ++k)
            if (k < half)
                twiddle<W, layout>(wr[half - 1 + k], wi[half - 1 + k], tab_re, tab_im,
                                   (h >> s) + j + k * q);
    }
}

template <int W, int stages, typename T>
LANE_HELPER void group_stages(lanes<W> (&xr)[1 << stages], lanes<W> (&xi)[1 << stages],
                              const T (&wr)[(1 << stages) - 1], const T (&wi)[(1 << stages) - 1])
{
#pragma GCC unroll 4
    for (int s = 0; s < stages; ++s) {
        const int half = 1 << (stages - 1 - s);
#pragma GCC unroll 8
        for (int k = 0; k < 1 << stages; ++k)
            if ((k & half) == 0) {
                const int w = half - 1 + (k & (half - 1));
                butterfly(xr[k], xi[k], xr[k + half], xi[k + half], wr[w], wi[w]);
            }
    }
}

// Stores x, times 1/64 when `inverse`: the scaling of the inverse transform.
// The copy y keeps x's array in registers: Clang leaves an array in memory
// once an element's address reaches the fortified memcpy.
template <bool inverse, typename V> LANE_HELPER void store_scaled(double *p, const V &x)
{
    const V y = inverse ? x * (1.0 / points) : x;
    store(p, y);
}

// One sweep over 64-point lines, in groups of 2^stages vectors:
//   W        lanes per vector (8, 4, 2 or 1);
//   layout   across: each lane a line of its own; along: W neighbours in one
//            line (h >> (stages - 1) must then be at least W);
//   h        the half-block length of the sweep's first stage (32 ... 1);
//   stages   how many stages it runs (1 to 3);
//   inverse  the direction; tab_re, tab_im are that direction's twiddles.
// Element p of the lines is read at from + p * from_step and written to
// to + p * to_step, which may be the same place. The sweep whose last stage
// is stage 1 writes element p to its bit-reversed place instead, times 1/64
// in the inverse.
template <int W, lane_layout layout, int h, int stages, bool inverse>
LANE_HELPER void sweep(const double *from_re, const double *from_im, std::ptrdiff_t from_step,
                       double *to_re, double *to_im, std::ptrdiff_t to_step, const double *tab_re,
                       const double *tab_im)
{
    typedef lanes<W> V;
    constexpr int count = 1 << stages, q = h >> (stages - 1);
    constexpr bool last = q == 1;
    for (int j = 0; j < q; j += layout == along ? W : 1) {
        twiddle_of<W, layout> wr[count - 1], wi[count - 1];
        group_twiddles<W, layout, h, stages>(wr, wi, tab_re, tab_im, j);
        for (int b = 0; b < points; b += 2 * h) {
            V xr[count], xi[count];
#pragma GCC unroll 8
            for (int k = 0; k < count; ++k) {
                load(xr[k], from_re + (b + j + k * q) * from_step);
                load(xi[k], from_im + (b + j + k * q) * from_step);
            }
            group_stages<W, stages>(xr, xi, wr, wi);
#pragma GCC unroll 8
            for (int k = 0; k < count; ++k) {
                const int p = b + j + k * q;
                const std::ptrdiff_t at = (last ? reversal.of[p] : p) * to_step;
                store_scaled<inverse && last>(to_re + at, xr[k]);
                store_scaled<inverse && last>(to_im + at, xi[k]);
            }
        }
    }
}

// v[k][i] becomes v[i][k].
LANE_HELPER void transpose(lanes<2> (&v)[2])
{
    const lanes<2> a = v[0], b = v[1];
    v[0] = __builtin_shufflevector(a, b, 0, 2);
    v[1] = __builtin_shufflevector(a, b, 1, 3);
}
#if defined(__x86_64__) || defined(__i386__) // four and eight lanes are x86's only
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
LANE_HELPER void transpose(lanes<8> (&v)[8])
{
    typedef lanes<8> V;
    V a[8], b[8];
    // Pairs of neighbouring lanes, then pairs of pairs, then halves.
#pragma GCC unroll 4
    for (int i = 0; i < 8; i += 2) {
        a[i] = __builtin_shufflevector(v[i], v[i + 1], 0, 8, 2, 10, 4, 12, 6, 14);
        a[i + 1] = __builtin_shufflevector(v[i], v[i + 1], 1, 9, 3, 11, 5, 13, 7, 15);
    }
#pragma GCC unroll 4
    for (int i = 0; i < 8; i += 4)
#pragma GCC unroll 2
        for (int k = 0; k < 2; ++k) {
            b[i + k] = __builtin_shufflevector(a[i + k], a[i + k + 2], 0, 1, 8, 9, 4, 5, 12, 13);
            b[i + k + 2] =
                __builtin_shufflevector(a[i + k], a[i + k + 2], 2, 3, 10, 11, 6, 7, 14, 15);
        }
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
        v[k] = __builtin_shufflevector(b[k], b[k + 4], 0, 1, 2, 3, 8, 9, 10, 11);
        v[k + 4] = __builtin_shufflevector(b[k], b[k + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
}
#endif

constexpr int log2_of(int w)
{
    return w > 1 ? 1 + log2_of(w / 2) : 0;
}

// The row end on W blocks of W elements in registers, x[l] holding the
// elements of block rev(l) side by side (rev reverses log2 W bits): after
// the transpose vector i holds position i of every block, and after the
// stages below W it goes whole to to + reversal.of[i], the place of the
// bit-reversed index of position i.
template <int W, bool inverse>
LANE_HELPER void row_end(lanes<W> (&xr)[W], lanes<W> (&xi)[W], double *to_re, double *to_im,
                         const double *tab_re, const double *tab_im)
{
    constexpr int stages = log2_of(W);
    twiddle_of<W, across> wr[W - 1], wi[W - 1];
    group_twiddles<W, across, W / 2, stages>(wr, wi, tab_re, tab_im, 0);
    transpose(xr);
    transpose(xi);
    group_stages<W, stages>(xr, xi, wr, wi);
#pragma GCC unroll 8
    for (int i = 0; i < W; ++i) {
        store_scaled<inverse>(to_re + reversal.of[i], xr[i]);
        store_scaled<inverse>(to_im + reversal.of[i], xi[i]);
    }
}

// The columns of job.src into job.re, im: lanes across W columns at a time.
template <int W, bool inverse>
LANE_HELPER void column_pass(const fft64_job &job, const double *tr, const double *ti)
{
    const std::ptrdiff_t step = job.step;
    for (int c = 0; c < points; c += W) {
        double col_re[points * W], col_im[points * W];
        const double *src_re = job.src_re + c, *src_im = job.src_im + c;
        double *dst_re = job.re + c, *dst_im = job.im + c;
        if constexpr (W == 8) {
            sweep<W, across, 32, 3, inverse>(src_re, src_im, step, col_re, col_im, W, tr, ti);
            sweep<W, across, 4, 3, inverse>(col_re, col_im, W, dst_re, dst_im, step, tr, ti);
        } else {
            sweep<W, across, 32, 2, inverse>(src_re, src_im, step, col_re, col_im, W, tr, ti);
            sweep<W, across, 8, 2, inverse>(col_re, col_im, W, col_re, col_im, W, tr, ti);
            sweep<W, across, 2, 2, inverse>(col_re, col_im, W, dst_re, dst_im, step, tr, ti);
        }
    }
}

// One row, in place. buf_re, buf_im: 64 doubles each, for the sweeps
// between, which eight lanes do without: their whole row stays in sixteen
// registers.
template <int W, bool inverse>
LANE_HELPER void row(double *row_re, double *row_im, double *buf_re, double *buf_im,
                     const double *tr, const double *ti)
{
    typedef lanes<W> V;
    if constexpr (W == 8) {
        V xr[W], xi[W];
#pragma GCC unroll 8
        for (int k = 0; k < W; ++k) {
            load(xr[k], row_re + k * W);
            load(xi[k], row_im + k * W);
        }
        V wr[W - 1], wi[W - 1];
        group_twiddles<W, along, 32, 3>(wr, wi, tr, ti, 0);
        group_stages<W, 3>(xr, xi, wr, wi);
        // Block k is x[k]; the row end takes block rev(l) as its l-th.
        V yr[W], yi[W];
#pragma GCC unroll 8
        for (int l = 0; l < W; ++l) {
            yr[l] = xr[reversal.of[l] / W];
            yi[l] = xi[reversal.of[l] / W];
        }
        row_end<W, inverse>(yr, yi, row_re, row_im, tr, ti);
    } else if constexpr (W == 1) {
        sweep<W, along, 32, 2, inverse>(row_re, row_im, 1, buf_re, buf_im, 1, tr, ti);
        sweep<W, along, 8, 2, inverse>(buf_re, buf_im, 1, buf_re, buf_im, 1, tr, ti);
        sweep<W, along, 2, 2, inverse>(buf_re, buf_im, 1, row_re, row_im, 1, tr, ti);
    } else {
        sweep<W, along, 32, 2, inverse>(row_re, row_im, 1, buf_re, buf_im, 1, tr, ti);
        sweep<W, along, 8, 2, inverse>(buf_re, buf_im, 1, buf_re, buf_im, 1, tr, ti);
        if constexpr (W == 2)
            sweep<W, along, 2, 1, inverse>(buf_re, buf_im, 1, buf_re, buf_im, 1, tr, ti);
        // The block that starts at reversal.of[base + l] ends up at base + l
        // plus reversal.of[its position].
        for (int base = 0; base < points / W; base += W) {
            V xr[W], xi[W];
#pragma GCC unroll 8
            for (int l = 0; l < W; ++l) {
                load(xr[l], buf_re + reversal.of[base + l]);
                load(xi[l], buf_im + reversal.of[base + l]);
            }
            row_end<W, inverse>(xr, xi, row_re + base, row_im + base, tr, ti);
        }
    }
}

template <int W, bool inverse> LANE_HELPER void run64(const fft64_job &job)
{
    const double *tr = inverse ? fft_inverse_re : fft_forward_re;
    const double *ti = inverse ? fft_inverse_im : fft_forward_im;
    if (job.grid)
        column_pass<W, inverse>(job, tr, ti);
    for (int r = 0; r < (job.grid ? points : 1); ++r)
        row<W, inverse>(job.re + r * job.step, job.im + r * job.step, job.buf_re, job.buf_im, tr,
                        ti);
}

// The instances of run64, one function per lane count and instruction set.
void transform64_one_lane(const fft64_job &job, int flag)
{
    flag != 0 ? run64<1, true>(job) : run64<1, false>(job);
}

void transform64_two_lanes(const fft64_job &job, int flag)
{
    flag != 0 ? run64<2, true>(job) : run64<2, false>(job);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) void transform64_avx2(const fft64_job &job, int flag)
{
    flag != 0 ? run64<4, true>(job) : run64<4, false>(job);
}

__attribute__((target("avx512f"))) void transform64_avx512(const fft64_job &job, int flag)
{
    flag != 0 ? run64<8, true>(job) : run64<8, false>(job);
}
#endif

} // namespace

int fft_lanes_used()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool has_avx512 = __builtin_cpu_supports("avx512f");
    static const bool has_avx2 = __builtin_cpu_supports("avx2");
    if (has_avx512 && fft_max_lanes >= 8)
        return 8;
    if (has_avx2 && fft_max_lanes >= 4)
        return 4;
#endif
    return fft_max_lanes >= 2 ? 2 : 1;
}

void fft64(const fft64_job &job, int flag)
{
    fft_ensure_tables(points);
    switch (fft_lanes_used()) {
#if defined(__x86_64__) || defined(__i386__)
    case 8:
        transform64_avx512(job, flag);
        break;
    case 4:
        transform64_avx2(job, flag);
        break;
#endif
    case 2:
        transform64_two_lanes(job, flag);
        break;
    default:
        transform64_one_lane(job, flag);
    }
}
