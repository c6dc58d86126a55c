// SPDX-License-Identifier: MIT
// The transform written straight from its description, with a cosine and a
// sine evaluated per twiddle index and stage on every call. Kept as the
// yardstick the fast code must match bit for bit, and as the baseline of the
// benchmarks. Same arguments and conventions as fft1 and fft2; valid input only.
#pragma once

void reference_fft1(double *re, double *im, int n, int flag);
void reference_fft2(double *re, double *im, int n, int stride, int flag);
