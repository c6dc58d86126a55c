// SPDX-License-Identifier: MIT
// The twiddle tables and the vector lanes must not change a single bit: fft1,
// fft2 and transform_pair are compared with the transform written straight
// from its description, which evaluates every cosine and sine on each call,
// on lengths below, at and above the tables' reach, on every lane width, and
// on data with signed zeros, exact integers and subnormal numbers. The tables
// are filled only as far as the lengths transformed read them.
#include "fieldgrid/fft_private.h"
#include "tests/fft_reference.h"
#include "tests/fft_test_data.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Random values, or with `integers` small exact integers (-7 .. 7) with a
// negative zero at every third place.
std::vector<double> test_values(std::size_t count, unsigned seed, bool integers)
{
    std::vector<double> v = random_values(count, seed);
    if (integers)
        for (std::size_t k = 0; k < count; ++k)
            v[k] = (k % 3 == 0) ? -0.0 : (double)((int)(v[k] * 8));
    return v;
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

// Transforms 64 points and exits with 0 when no pair beyond the 63rd of
// either direction is filled; a filled pair is never (0, 0), as a cosine and
// a sine are never both zero.
[[noreturn]] void transform_64_points_and_exit()
{
    std::vector<double> re = random_values(64, 1), im = random_values(64, 2);
    fft1(re.data(), im.data(), 64, 0, 0);
    bool untouched = true;
    for (int k = 64; k < fft_table_max; ++k)
        untouched = untouched && fft_forward_re[k] == 0.0 && fft_forward_im[k] == 0.0 &&
                    fft_inverse_re[k] == 0.0 && fft_inverse_im[k] == 0.0;
    std::exit(untouched ? 0 : 1);
}

// The first transform fills only the pairs its length reads: fieldgrid's
// first press waits for 63 pairs of each direction, not all 1023. Run in a
// process of its own, whose tables no other test has filled.
TEST(FftTablesDeathTest, FirstTransformFillsOnlyWhatItsLengthReads)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(transform_64_points_and_exit(), testing::ExitedWithCode(0), "");
}

// Processors without AVX2 run 64-point lines two lanes wide; that path must
// give the same bits as well.
TEST(FftBitExact, TwoLanePathMatchesStraightforwardVersion)
{
    fft_max_lanes = 2;
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
    fft_max_lanes = fft_widest_lanes;
}

// Random values with, at scattered places, signed zeros, subnormal numbers
// and magnitudes from the smallest normal to 1e250, which stays finite here.
std::vector<double> awkward_values(std::size_t count, unsigned seed)
{
    std::vector<double> v = test_values(count, seed, false);
    const double special[] = {-0.0, 0.0, 4.9e-324, -2.5e-310, 2.3e-308, -1e250, 3.0, -7.0};
    for (std::size_t k = 0; k < count; k += 5)
        v[k] = special[(k / 5 + seed) % 8];
    return v;
}

// Each lane width the 64-point transforms have: 8 (AVX-512), 4 (AVX2), 2 (the
// portable two-lane path every target builds), 1 (a lane of one double).
// Each must match the straightforward transform: fft1, fft2 with the
// program's stride and a wider odd one, and transform_pair, which reads its
// sources in the transform's first sweep instead of copying them first. A
// processor without a width skips that width alone, and says so.
class FftLaneWidth : public testing::TestWithParam<int> {
  protected:
    void TearDown() override { fft_max_lanes = fft_widest_lanes; }
};

TEST_P(FftLaneWidth, MatchesStraightforwardVersion)
{
    const int lanes = GetParam();
    const std::string why = use_lanes(lanes);
    if (!why.empty())
        GTEST_SKIP() << why;
    for (int flag : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "lanes " << lanes << " flag " << flag);
        std::vector<double> re = awkward_values(64, 21), im = test_values(64, 22, true);
        std::vector<double> ref_re = re, ref_im = im;
        fft1(re.data(), im.data(), 64, 0, flag);
        reference_fft1(ref_re.data(), ref_im.data(), 64, flag);
        EXPECT_TRUE(same_bits(re, ref_re) && same_bits(im, ref_im)) << "fft1";

        for (int stride : {64, 67}) {
            const std::size_t count = 63 * stride + 64;
            re = awkward_values(count, 23);
            im = test_values(count, 24, stride == 64);
            ref_re = re;
            ref_im = im;
            fft2(re.data(), im.data(), 64, stride, flag);
            reference_fft2(ref_re.data(), ref_im.data(), 64, stride, flag);
            EXPECT_TRUE(same_bits(re, ref_re) && same_bits(im, ref_im)) << "stride " << stride;
        }

        const std::vector<double> src_re = awkward_values(4096, 25),
                                  src_im = test_values(4096, 26, true);
        std::vector<double> dst_re(4096, 5.0), dst_im(4096, -5.0);
        transform_pair(src_re.data(), src_im.data(), dst_re.data(), dst_im.data(), flag);
        ref_re = src_re;
        ref_im = src_im;
        reference_fft2(ref_re.data(), ref_im.data(), 64, 64, flag);
        EXPECT_TRUE(same_bits(dst_re, ref_re) && same_bits(dst_im, ref_im)) << "pair";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWidth, FftLaneWidth, testing::Values(8, 4, 2, 1),
                         [](const testing::TestParamInfo<int> &info) {
                             return std::to_string(info.param) + "_lanes";
                         });

// The cap picks the widest path the processor has that fits under it; below
// 2 it is one lane.
TEST(FftLanes, CapPicksTheWidestPathBelowIt)
{
    fft_max_lanes = fft_widest_lanes;
    const int widest = fft_lanes_used();
    EXPECT_TRUE(widest == 8 || widest == 4 || widest == 2) << widest;
    for (int cap : {1000, 8, 7, 5, 4, 3, 2, 1, 0, -4}) {
        fft_max_lanes = cap;
        const int used = fft_lanes_used();
        int want = 1;
        for (int w : {2, 4, 8})
            if (w <= cap && w <= widest)
                want = w;
        EXPECT_EQ(used, want) << "cap " << cap;
    }
    fft_max_lanes = fft_widest_lanes;
}

} // namespace
