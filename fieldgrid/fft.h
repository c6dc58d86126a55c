// SPDX-License-Identifier: MIT
// Complex fast Fourier transforms of power-of-two length, in place.
//
// Complex data is two arrays of doubles, real parts and imaginary parts. The
// forward transform (flag 0) is X[k] = sum_t x[t] exp(-2 pi i k t / n) with no
// scaling; the inverse (flag != 0) uses exp(+2 pi i k t / n) and divides by n,
// so forward then inverse returns the input up to rounding. After a forward
// fft2, element (a, b) holds wave indices a and b in natural order; an index
// above n/2 stands for the negative frequency index - n. Errors are one line
// on standard error, and the arrays are then left untouched.
//
// The routines keep no state a caller can see: calls on distinct arrays may
// run on any thread.
#pragma once

#include "fieldgrid/grid_shape.h"

// Transforms re[0..n-1], im[0..n-1] in place. n: a power of two, at least 2.
// m: log2 n, or 0 (or less) to derive it from n; an m that does not match n is
// refused. flag: 0 forward, non-zero inverse.
void fft1(double *re, double *im, int n, int m, int flag);

// Transforms the n x n grid whose element (r, c) is at r*stride + c, columns
// first, then rows. n: a power of two, at least 2; stride >= n (a smaller one
// is refused as an illegal parameter), and both arrays hold at least
// (n-1)*stride + n elements. Allocates two work vectors of n doubles per call,
// and refuses the transform when that fails. flag as for fft1. Typical use:
// n = stride = 64.
void fft2(double *re, double *im, int n, int stride, int flag);

// dst[k] = src[k] for the grid_cells (4096) elements of a 64 x 64 grid.
void copy_grid(const double *src, double *dst);

// Copies the 64 x 64 grid (src_re, src_im) into (dst_re, dst_im) and
// transforms the copy with fft2(dst_re, dst_im, 64, 64, flag); the sources
// are left unchanged.
void transform_pair(const double *src_re, const double *src_im, double *dst_re, double *dst_im,
                    int flag);
