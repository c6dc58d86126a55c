// SPDX-License-Identifier: MIT
// The transform, the field state and the step as a project embedding them
// would build them: this program links them from fieldgrid_consumer_build
// (tests/CMakeLists.txt), compiled without this tree's options, for every
// instruction set of this machine and, under GCC, with multiply-adds fused
// wherever the compiler may. Nothing in that build asks for a multiply and an
// add to round apart, so the sources must; the bits are then still those of
// the straightforward references, which are built with this tree's options,
// on every lane width.
#include "fieldgrid/fft_private.h"
#include "tests/fft_reference.h"
#include "tests/fft_test_data.h"
#include "tests/step_runs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FieldgridConsumerBuild : public testing::TestWithParam<int> {
  protected:
    void TearDown() override { fft_max_lanes = fft_widest_lanes; }
};

// fft2 in both directions, then a run of steps across the end of the source
// at t = 150 (step 1500), which takes every pass of the step and the
// transform_pair's reading of its sources. A processor without a width skips
// that width alone, and says so.
TEST_P(FieldgridConsumerBuild, TransformAndStepMatchTheReferences)
{
    const std::string why = use_lanes(GetParam());
    if (!why.empty())
        GTEST_SKIP() << why;
    for (int flag : {0, 1}) {
        std::vector<double> re = random_values(grid_cells, 31 + flag),
                            im = random_values(grid_cells, 41 + flag);
        std::vector<double> ref_re = re, ref_im = im;
        fft2(re.data(), im.data(), grid_side, grid_side, flag);
        reference_fft2(ref_re.data(), ref_im.data(), grid_side, grid_side, flag);
        EXPECT_TRUE(same_bits(re, ref_re) && same_bits(im, ref_im)) << "fft2, flag " << flag;
    }
    start_from_seed(1234u, 1495);
    EXPECT_TRUE(run_steps(10));
}

INSTANTIATE_TEST_SUITE_P(EveryWidth, FieldgridConsumerBuild, testing::Values(8, 4, 2, 1),
                         [](const testing::TestParamInfo<int> &info) {
                             return std::to_string(info.param) + "_lanes";
                         });

// Every other length takes the general stage loop, on any processor: short
// lengths, the longest whose twiddles come from the tables, and one whose
// first stage computes them.
TEST(FieldgridConsumerBuildFft1, OtherLengthsMatchTheReference)
{
    for (int n : {2, 16, fft_table_max, 4 * fft_table_max})
        for (int flag : {0, 1}) {
            std::vector<double> re = random_values(n, n + flag), im = random_values(n, n + 7);
            std::vector<double> ref_re = re, ref_im = im;
            fft1(re.data(), im.data(), n, 0, flag);
            reference_fft1(ref_re.data(), ref_im.data(), n, flag);
            EXPECT_TRUE(same_bits(re, ref_re) && same_bits(im, ref_im))
                << "n " << n << ", flag " << flag;
        }
}

} // namespace
