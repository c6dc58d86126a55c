// SPDX-License-Identifier: MIT
// Accuracy against two independent references, FFTW and a naive DFT summed in
// long double, on random complex data, plus round trips and Parseval.
//
// Tolerance: the normwise relative error ||ours - ref||_2 / ||ref||_2 must stay
// below 2e-15. A radix-2 FFT in double with accurately rounded twiddles is
// near 1e-16 * sqrt(log2 n) (measured up to 4.2e-16 at n = 1024); a wrong
// twiddle, index or sign gives errors of order 1.
#include "fieldgrid/fft.h"
#include "tests/fft_test_data.h"

#include <fftw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

const double tolerance = 2e-15;

struct Complex_data {
    std::vector<double> re, im;
};

Complex_data random_data(std::size_t count, unsigned seed)
{
    return {random_values(count, 2 * seed), random_values(count, 2 * seed + 1)};
}

// ||a - b|| / ||b|| over the listed indices.
double relative_error(const Complex_data &a, const Complex_data &b,
                      const std::vector<std::size_t> &indices)
{
    long double diff = 0, norm = 0;
    for (std::size_t k : indices) {
        const long double dr = a.re[k] - (long double)b.re[k], di = a.im[k] - (long double)b.im[k];
        diff += dr * dr + di * di;
        norm += (long double)b.re[k] * b.re[k] + (long double)b.im[k] * b.im[k];
    }
    return (double)std::sqrt(diff / norm);
}

std::vector<std::size_t> all_indices(std::size_t count)
{
    std::vector<std::size_t> v(count);
    for (std::size_t k = 0; k < count; ++k)
        v[k] = k;
    return v;
}

// Grid indices r*stride + c for r, c < n.
std::vector<std::size_t> grid_indices(int n, int stride)
{
    std::vector<std::size_t> v;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            v.push_back((std::size_t)r * stride + c);
    return v;
}

// Naive DFT of x[first + t*step], t < n, in long double, written back in
// double. Inverse when flag != 0, with the 1/n.
void naive_dft(Complex_data &x, std::size_t first, std::size_t step, int n, int flag)
{
    const long double pi = 3.14159265358979323846264338327950288L;
    const long double sign = flag != 0 ? 1.0L : -1.0L;
    std::vector<long double> wr(n), wi(n), out_re(n), out_im(n);
    for (int k = 0; k < n; ++k) {
        wr[k] = std::cos(2 * pi * k / n);
        wi[k] = sign * std::sin(2 * pi * k / n);
    }
    for (int k = 0; k < n; ++k) {
        long double sr = 0, si = 0;
        for (int t = 0; t < n; ++t) {
            const long double xr = x.re[first + t * step], xi = x.im[first + t * step];
            const int e = (int)(((long long)k * t) % n);
            sr += xr * wr[e] - xi * wi[e];
            si += xr * wi[e] + xi * wr[e];
        }
        const long double scale = flag != 0 ? 1.0L / n : 1.0L;
        out_re[k] = sr * scale;
        out_im[k] = si * scale;
    }
    for (int k = 0; k < n; ++k) {
        x.re[first + k * step] = (double)out_re[k];
        x.im[first + k * step] = (double)out_im[k];
    }
}

// FFTW's unnormalised transform of a contiguous sequence, scaled by 1/n for
// the inverse to match our convention.
void fftw_1d(Complex_data &x, int n, int flag)
{
    fftw_complex *buf = fftw_alloc_complex(n);
    for (int t = 0; t < n; ++t) {
        buf[t][0] = x.re[t];
        buf[t][1] = x.im[t];
    }
    fftw_plan plan =
        fftw_plan_dft_1d(n, buf, buf, flag != 0 ? FFTW_BACKWARD : FFTW_FORWARD, FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    const double scale = flag != 0 ? 1.0 / n : 1.0;
    for (int t = 0; t < n; ++t) {
        x.re[t] = buf[t][0] * scale;
        x.im[t] = buf[t][1] * scale;
    }
    fftw_free(buf);
}

// FFTW on the n x n grid stored with the given stride.
void fftw_2d(Complex_data &x, int n, int stride, int flag)
{
    fftw_complex *buf = fftw_alloc_complex((std::size_t)n * n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            buf[r * n + c][0] = x.re[(std::size_t)r * stride + c];
            buf[r * n + c][1] = x.im[(std::size_t)r * stride + c];
        }
    fftw_plan plan =
        fftw_plan_dft_2d(n, n, buf, buf, flag != 0 ? FFTW_BACKWARD : FFTW_FORWARD, FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    const double scale = flag != 0 ? 1.0 / ((double)n * n) : 1.0;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            x.re[(std::size_t)r * stride + c] = buf[r * n + c][0] * scale;
            x.im[(std::size_t)r * stride + c] = buf[r * n + c][1] * scale;
        }
    fftw_free(buf);
}

double energy(const Complex_data &x, const std::vector<std::size_t> &indices)
{
    long double e = 0;
    for (std::size_t k : indices)
        e += (long double)x.re[k] * x.re[k] + (long double)x.im[k] * x.im[k];
    return (double)e;
}

// ---- one dimension ----

TEST(Fft1Accuracy, MatchesFftwAndNaiveDft)
{
    for (int n = 2; n <= 1024; n *= 2) {
        for (int flag : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "n " << n << " flag " << flag);
            const Complex_data input = random_data(n, 100 + n + flag);
            Complex_data ours = input, by_fftw = input, naive = input;
            fft1(ours.re.data(), ours.im.data(), n, 0, flag);
            fftw_1d(by_fftw, n, flag);
            naive_dft(naive, 0, 1, n, flag);
            const auto idx = all_indices(n);
            EXPECT_LT(relative_error(ours, naive, idx), tolerance);
            EXPECT_LT(relative_error(ours, by_fftw, idx), tolerance);
            // The two references agree with each other, so neither is the fault.
            EXPECT_LT(relative_error(by_fftw, naive, idx), tolerance);
        }
    }
}

TEST(Fft1Accuracy, RoundTripAndParseval)
{
    for (int n = 2; n <= 4096; n *= 2) {
        SCOPED_TRACE(n);
        const Complex_data input = random_data(n, 200 + n);
        Complex_data x = input;
        const auto idx = all_indices(n);
        fft1(x.re.data(), x.im.data(), n, 0, 0);
        // sum |X|^2 = n sum |x|^2 for the unscaled forward transform.
        EXPECT_NEAR(energy(x, idx) / (n * energy(input, idx)), 1.0, tolerance);
        fft1(x.re.data(), x.im.data(), n, 0, 1);
        EXPECT_LT(relative_error(x, input, idx), tolerance);
    }
}

// ---- two dimensions ----

TEST(Fft2Accuracy, MatchesFftwAndNaiveDftWithStride)
{
    struct Shape {
        int n, stride;
    };
    for (Shape s : {Shape{64, 64}, Shape{2, 2}, Shape{2, 5}, Shape{8, 13}, Shape{32, 40},
                    Shape{64, 100}, Shape{128, 129}}) {
        for (int flag : {0, 1}) {
            SCOPED_TRACE(testing::Message()
                         << "n " << s.n << " stride " << s.stride << " flag " << flag);
            const std::size_t count = (std::size_t)(s.n - 1) * s.stride + s.n;
            const Complex_data input = random_data(count, 300 + s.n + s.stride + flag);
            Complex_data ours = input, by_fftw = input, naive = input;
            fft2(ours.re.data(), ours.im.data(), s.n, s.stride, flag);
            fftw_2d(by_fftw, s.n, s.stride, flag);
            // The naive reference applies the DFT along columns, then rows.
            for (int c = 0; c < s.n; ++c)
                naive_dft(naive, c, s.stride, s.n, flag);
            for (int r = 0; r < s.n; ++r)
                naive_dft(naive, (std::size_t)r * s.stride, 1, s.n, flag);
            const auto idx = grid_indices(s.n, s.stride);
            EXPECT_LT(relative_error(ours, naive, idx), tolerance);
            EXPECT_LT(relative_error(ours, by_fftw, idx), tolerance);
            // The elements between rows belong to the caller and stay as they were.
            for (int r = 0; r + 1 < s.n; ++r)
                for (int c = s.n; c < s.stride; ++c) {
                    const std::size_t k = (std::size_t)r * s.stride + c;
                    ASSERT_EQ(ours.re[k], input.re[k]) << k;
                    ASSERT_EQ(ours.im[k], input.im[k]) << k;
                }
        }
    }
}

TEST(Fft2Accuracy, RoundTripAndParseval)
{
    for (int n : {2, 16, 64, 256}) {
        SCOPED_TRACE(n);
        const Complex_data input = random_data((std::size_t)n * n, 400 + n);
        Complex_data x = input;
        const auto idx = all_indices((std::size_t)n * n);
        fft2(x.re.data(), x.im.data(), n, n, 0);
        EXPECT_NEAR(energy(x, idx) / ((double)n * n * energy(input, idx)), 1.0, tolerance);
        fft2(x.re.data(), x.im.data(), n, n, 1);
        EXPECT_LT(relative_error(x, input, idx), tolerance);
    }
}

} // namespace
