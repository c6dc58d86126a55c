// The twiddle tables must not change a single bit: fft1 and fft2 are compared
// with the transform written straight from its description, which evaluates
// every cosine and sine on each call, on lengths below, at and above the
// tables' reach and on data with signed zeros and exact integers.
#include "fieldgrid/fft.h"
#include "tests/fft_reference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<double> test_values(std::size_t count, unsigned seed, bool integers)
{
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> v(count);
    for (std::size_t k = 0; k < count; ++k) {
        if (integers)
            v[k] = (k % 3 == 0) ? -0.0 : (double)((int)(dist(gen) * 8));
        else
            v[k] = dist(gen);
    }
    return v;
}

bool same_bits(const std::vector<double> &a, const std::vector<double> &b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

TEST(FftBitExact, Fft1MatchesStraightforwardVersion)
{
    for (int n = 2; n <= 4 * fft_table_max; n *= 2)
        for (int flag : {0, 1, -3})
            for (bool integers : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << "n " << n << " flag " << flag << " integers " << integers);
                std::vector<double> re = test_values(n, n + 1, integers);
                std::vector<double> im = test_values(n, n + 2, integers);
                std::vector<double> ref_re = re, ref_im = im;
                fft1(re.data(), im.data(), n, 0, flag);
                reference_fft1(ref_re.data(), ref_im.data(), n, flag);
                EXPECT_TRUE(same_bits(re, ref_re));
                EXPECT_TRUE(same_bits(im, ref_im));
            }
}

TEST(FftBitExact, Fft2MatchesStraightforwardVersion)
{
    for (int n : {2, 64, 128}) {
        for (int flag : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "n " << n << " flag " << flag);
            const int stride = n == 128 ? 130 : n;
            const std::size_t count = (std::size_t)(n - 1) * stride + n;
            std::vector<double> re = test_values(count, 7, false);
            std::vector<double> im = test_values(count, 8, n == 64);
            std::vector<double> ref_re = re, ref_im = im;
            fft2(re.data(), im.data(), n, stride, flag);
            reference_fft2(ref_re.data(), ref_im.data(), n, stride, flag);
            EXPECT_TRUE(same_bits(re, ref_re));
            EXPECT_TRUE(same_bits(im, ref_im));
        }
    }
}

// Processors without AVX2 run 64-point lines two lanes wide; that path must
// give the same bits as well.
TEST(FftBitExact, TwoLanePathMatchesStraightforwardVersion)
{
    fft_wide_lanes = false;
    for (int flag : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "flag " << flag);
        std::vector<double> re = test_values(4096, 11, false);
        std::vector<double> im = test_values(4096, 12, true);
        std::vector<double> ref_re = re, ref_im = im;
        fft1(re.data(), im.data(), 64, 6, flag);
        reference_fft1(ref_re.data(), ref_im.data(), 64, flag);
        EXPECT_TRUE(same_bits(re, ref_re));
        EXPECT_TRUE(same_bits(im, ref_im));
        re = test_values(4096, 13, false);
        im = test_values(4096, 14, false);
        ref_re = re;
        ref_im = im;
        fft2(re.data(), im.data(), 64, 64, flag);
        reference_fft2(ref_re.data(), ref_im.data(), 64, 64, flag);
        EXPECT_TRUE(same_bits(re, ref_re));
        EXPECT_TRUE(same_bits(im, ref_im));
    }
    fft_wide_lanes = true;
}

} // namespace
