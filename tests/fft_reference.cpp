// SPDX-License-Identifier: MIT
#include "tests/fft_reference.h"

#include <cmath>
#include <utility>
#include <vector>

void reference_fft1(double *re, double *im, int n, int flag)
{
    int m = 0;
    for (int a = n / 2; a != 0; a /= 2)
        ++m;
    const double theta = flag != 0 ? 3.141592653589793 : -3.141592653589793;
    double d = theta / n;
    int h = n;
    for (int s = 0; s < m; ++s) {
        const int l = h;
        h = l / 2;
        d = 2 * d;
        for (int j = 0; j < h; ++j) {
            const double angle = j * d;
            const double wr = std::cos(angle);
            const double wi = std::sin(angle);
            for (int b = 0; b <= n - l; b += l) {
                const int p = b + j;
                const int q = p + h;
                const double xr = re[p], xi = im[p];
                re[p] = xr + re[q];
                im[p] = xi + im[q];
                const double dr = xr - re[q], di = xi - im[q];
                re[q] = dr * wr - di * wi;
                im[q] = di * wr + dr * wi;
            }
        }
    }
    const int half = n / 2;
    int r = half;
    for (int i = 1; i <= n - 2; ++i) {
        if (i < r) {
            std::swap(re[i], re[r]);
            std::swap(im[i], im[r]);
        }
        int k = half;
        while (k <= r) {
            r -= k;
            k /= 2;
        }
        r += k;
    }
    if (flag != 0) {
        const double scale = 1.0 / n;
        for (int i = 0; i < n; ++i) {
            re[i] *= scale;
            im[i] *= scale;
        }
    }
}

void reference_fft2(double *re, double *im, int n, int stride, int flag)
{
    std::vector<double> wr(n), wi(n);
    for (int c = 0; c < n; ++c) {
        for (int r = 0; r < n; ++r) {
            wr[r] = re[r * stride + c];
            wi[r] = im[r * stride + c];
        }
        reference_fft1(wr.data(), wi.data(), n, flag);
        for (int r = 0; r < n; ++r) {
            re[r * stride + c] = wr[r];
            im[r * stride + c] = wi[r];
        }
    }
    for (int r = 0; r < n; ++r)
        reference_fft1(re + r * stride, im + r * stride, n, flag);
}
