// Radix-2 decimation-in-frequency FFT (Gentleman-Sande butterflies on
// natural-order input, bit-reversed output, then a bit-reversal permutation),
// and the two-dimensional transform built from it by columns and rows.
#include "fieldgrid/fft.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

void *(*fft_work_alloc)(std::size_t bytes) = std::malloc;
void (*fft_work_free)(void *block) = std::free;

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
    for (int r = 0; r < n; ++r) {
        double *row_re = re + r * step;
        double *row_im = im + r * step;
        for (int c = 0; c < n; ++c) {
            work_re[c] = row_re[c];
            work_im[c] = row_im[c];
        }
        fft1(work_re, work_im, n, m, flag);
        for (int c = 0; c < n; ++c) {
            row_re[c] = work_re[c];
            row_im[c] = work_im[c];
        }
    }

    fft_work_free(work_im);
    fft_work_free(work_re);
}

void copy_grid(const double *src, double *dst)
{
    for (int k = 0; k < 4096; ++k)
        dst[k] = src[k];
}

void transform_pair(const double *src_re, const double *src_im, double *dst_re, double *dst_im,
                    int flag)
{
    copy_grid(src_re, dst_re);
    copy_grid(src_im, dst_im);
    fft2(dst_re, dst_im, 64, 64, flag);
}
