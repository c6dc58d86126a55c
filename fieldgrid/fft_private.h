// SPDX-License-Identifier: MIT
// What the FFT's own sources share, and the seams its tests use: not part of
// the interface in fft.h. Include it only from fieldgrid's sources (the step
// reads fft_lanes_used) and tests.
#pragma once

#include "fieldgrid/fft.h"

#include <cstddef>

// ---- twiddle tables ----

// Longest transform whose cosine-sine pairs come from the tables; longer
// stages evaluate cos and sin directly.
constexpr int fft_table_max = 1024;

// Cosine-sine pairs for each direction: the pairs of block length L = 2h sit
// at [h, 2h), the one of twiddle index j at h + j; index 0 is unused. They are
// the very doubles fft1's stage recurrence computes for every length up to
// fft_table_max. Filled by fft_ensure_tables, a stage at a time, as far as
// the lengths transformed so far read them. Aligned for the widest lanes, so
// that the lane path loads them with aligned moves.
alignas(64) extern double fft_forward_re[fft_table_max];
alignas(64) extern double fft_forward_im[fft_table_max];
alignas(64) extern double fft_inverse_re[fft_table_max];
alignas(64) extern double fft_inverse_im[fft_table_max];

// Fills the pairs a transform of n points reads, [1, n) of each direction
// (at most all fft_table_max), unless an earlier call did: a 64-point
// transform waits for 63 pairs of each, not 1023. Each pair is filled once,
// even when several threads ask at the same time. n: a power of two.
void fft_ensure_tables(int n);

// Computes the pairs of half-block h (a power of two below fft_table_max),
// [h, 2h) of each direction, every time it is called: fft_ensure_tables
// calls it once per stage, and the benchmarks time it.
void fft_fill_stage_pairs(int h);

// ---- the 64-point transform (fft_lanes64.cpp) ----

// The one length with code of its own: the grid's side.
constexpr int fft_lane_points = grid_side;

// One 64-point transform: the 64 x 64 grid read from (src_re, src_im) and
// written to (re, im), rows step apart, or with grid false the one line
// (re, im). Rows go through buf_re, buf_im (64 doubles each). A pass reads its
// input in its first sweep and writes its output in its last, so src may be
// (re, im) itself or a grid that shares no element with it.
struct fft64_job {
    const double *src_re, *src_im;
    double *re, *im;
    std::ptrdiff_t step;
    bool grid;
    double *buf_re, *buf_im;
};

// Runs job with the widest vector lanes this processor has, up to
// fft_max_lanes; flag as for fft1. Gives the bits of fft1 and fft2.
void fft64(const fft64_job &job, int flag);

// ---- test seams ----

// How fft2 gets and releases its work vectors. They default to malloc and
// free; a test may point them elsewhere (for instance to fail an allocation)
// and must restore them. fft_work_alloc returns nullptr on failure.
extern void *(*fft_work_alloc)(std::size_t bytes);
extern void (*fft_work_free)(void *block);

// The widest vector lanes the 64-point transforms have: eight doubles, on
// processors with AVX-512F.
constexpr int fft_widest_lanes = 8;

// The widest vectors, in doubles, that 64-point transforms may use; the
// processor decides at run time which of them it has. 8 (the default,
// fft_widest_lanes) takes AVX-512F where the processor has it, 4 AVX2; 2
// keeps them on the portable two-lane path that every target builds (SSE2 on
// x86-64, NEON on aarch64, SIMD128 on WebAssembly with -msimd128, plain
// doubles elsewhere); 1 runs them one double at a time. All give the same
// bits.
extern int fft_max_lanes;

// The lanes the 64-point transforms run with now: the widest this processor
// has, at most fft_max_lanes (and 1 below 2).
int fft_lanes_used();
