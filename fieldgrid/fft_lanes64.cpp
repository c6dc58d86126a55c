// SPDX-License-Identifier: MIT
// The 64-point transform, the only length fieldgrid uses, for single lines
// (fft1) and for 64 x 64 grids (fft2, transform_pair).
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
#include "fieldgrid/fft_private.h"

#include <cstring>

int fft_max_lanes = 4;

namespace {

// The length of every line here, and its log2. The sweeps of run64 are laid
// out for exactly this length.
constexpr int points = fft_lane_points, point_bits = 6;
static_assert(points == 1 << point_bits, "the lane path transforms 64-point lines");

// W doubles side by side: four are AVX2, two are SSE2 on x86-64, NEON on
// aarch64 and SIMD128 on WebAssembly built with -msimd128, and the compiler
// splits them into plain doubles on any other target; one lane is plain
// double arithmetic.
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
        for (int b = 0; b < points; b += 2 * h) {
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
                store(to_re + at, scaled ? xr[e] * (1.0 / points) : xr[e]);
                store(to_im + at, scaled ? xi[e] * (1.0 / points) : xi[e]);
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
    for (int base = 0; base < points / W; base += W) {
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
            store(to_re + base + reversal.of[i], scaled ? xr[i] * (1.0 / points) : xr[i]);
            store(to_im + base + reversal.of[i], scaled ? xi[i] * (1.0 / points) : xi[i]);
        }
    }
}

template <int W, bool scaled> LANE_HELPER void run64(const fft64_job &job)
{
    const double *tr = scaled ? fft_inverse_re : fft_forward_re;
    const double *ti = scaled ? fft_inverse_im : fft_forward_im;
    const std::ptrdiff_t step = job.step;
    for (int c = 0; job.grid && c < points; c += W) {
        double col_re[points * W], col_im[points * W];
        sweep<W, false, 32, true>(job.src_re + c, job.src_im + c, step, col_re, col_im, W, tr, ti);
        sweep<W, false, 8, true>(col_re, col_im, W, col_re, col_im, W, tr, ti);
        sweep<W, false, 2, true, true, scaled>(col_re, col_im, W, job.re + c, job.im + c, step, tr,
                                               ti);
    }
    double *buf_re = job.buf_re, *buf_im = job.buf_im;
    for (int r = 0; r < (job.grid ? points : 1); ++r) {
        double *row_re = job.re + r * step, *row_im = job.im + r * step;
        sweep<W, true, 32, true>(row_re, row_im, 1, buf_re, buf_im, 1, tr, ti);
        sweep<W, true, 8, true>(buf_re, buf_im, 1, buf_re, buf_im, 1, tr, ti);
        if (W <= 2)
            sweep<W, true, 2, W == 1>(buf_re, buf_im, 1, buf_re, buf_im, 1, tr, ti);
        row_end<W, scaled>(buf_re, buf_im, row_re, row_im, tr, ti);
    }
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
#endif

} // namespace

int fft_lanes_used()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool has_avx2 = __builtin_cpu_supports("avx2");
    if (has_avx2 && fft_max_lanes >= 4)
        return 4;
#endif
    return fft_max_lanes >= 2 ? 2 : 1;
}

void fft64(const fft64_job &job, int flag)
{
    fft_ensure_tables();
    switch (fft_lanes_used()) {
#if defined(__x86_64__) || defined(__i386__)
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
