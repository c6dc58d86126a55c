// SPDX-License-Identifier: MIT
// The field state and the step driver: initial condition, copies, the figures
// a wrong sign, factor or source placement would break, the redraw seam, the
// grid's symmetries and run-time changes of alpha.
#include "common/random_draw.h"
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

const double pi = 3.141592653589793;

void clear_model()
{
    std::fill(field_re, field_re + 4096, 0.0);
    std::fill(field_im, field_im + 4096, 0.0);
    std::fill(spec_re, spec_re + 4096, 0.0);
    std::fill(spec_im, spec_im + 4096, 0.0);
    std::fill(&display_grid[0][0], &display_grid[0][0] + 4096, 0.0);
    step_count = 0;
    alpha = 1.5f;
    random_source = rand15;
}

class FieldModel : public ::testing::Test {
  protected:
    void SetUp() override
    {
        saved_redisplay = request_redisplay;
        clear_model();
    }
    void TearDown() override
    {
        request_redisplay = saved_redisplay;
        clear_model();
    }
    void (*saved_redisplay)() = nullptr;
};

std::vector<double> random_field(unsigned seed)
{
    srand(seed);
    std::vector<double> f(4096);
    for (double &v : f)
        v = 2.0 * random_draw() / 32767.0 - 1.0;
    return f;
}

// field_re after one step from f at step_count `step`.
std::vector<double> step_from(const std::vector<double> &f, int step = 0)
{
    std::copy(f.begin(), f.end(), field_re);
    step_count = step;
    advance_one_step(0);
    return std::vector<double>(field_re, field_re + 4096);
}

double max_spread(const double *a)
{
    auto mm = std::minmax_element(a, a + 4096);
    return *mm.second - *mm.first;
}

int scripted_next = 0;
int scripted_counter()
{
    return scripted_next++ % 32768;
}

} // namespace

// ---- state and initial condition ----

TEST_F(FieldModel, RandomizeTakesOneDrawPerCellInRowMajorOrder)
{
    scripted_next = 0;
    random_source = scripted_counter;
    randomize_field();
    EXPECT_EQ(scripted_next, 4096);
    for (int i = 0; i < 64; i++)
        for (int j = 0; j < 64; j++)
            ASSERT_EQ(display_grid[i][j], 1.0 + 0.1 * (i * 64 + j) / 32767.0) << i << "," << j;
}

TEST_F(FieldModel, RandomizeEndsOfTheDrawRangeGiveOneAndOnePointOne)
{
    random_source = [] { return 0; };
    randomize_field();
    EXPECT_EQ(display_grid[0][0], 1.0);
    EXPECT_EQ(display_grid[63][63], 1.0);
    random_source = [] { return 32767; };
    randomize_field();
    EXPECT_DOUBLE_EQ(display_grid[0][0], 1.1);
    EXPECT_DOUBLE_EQ(display_grid[63][63], 1.1);
}

TEST_F(FieldModel, RandomizeWithTheRealGeneratorStaysInRangeAndRepeatsPerSeed)
{
    srand(12345);
    randomize_field();
    std::vector<double> first(&display_grid[0][0], &display_grid[0][0] + 4096);
    auto mm = std::minmax_element(first.begin(), first.end());
    EXPECT_GE(*mm.first, 1.0);
    EXPECT_LE(*mm.second, 1.1);
    EXPECT_GT(*mm.second - *mm.first, 0.09) << "the draws should span their range";

    srand(12345);
    randomize_field();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), &display_grid[0][0]));
}

TEST_F(FieldModel, GridAndFieldCopiesUseTheFlatLayout)
{
    double src[4096];
    for (int k = 0; k < 4096; k++)
        src[k] = k + 0.5;
    field_to_grid(src);
    EXPECT_EQ(display_grid[1][0], 64.5);
    EXPECT_EQ(display_grid[0][1], 1.5);
    EXPECT_EQ(display_grid[63][62], 4094.5);

    double dst[4096];
    grid_to_field(dst);
    EXPECT_TRUE(std::equal(src, src + 4096, dst));
}

// ---- figures of the linear factor and the source ----

// Ratio of one coefficient across spectral_step for a tiny amplitude, where
// the cubic term is far below rounding; t = 200 is past the source.
double step_ratio(int index)
{
    std::vector<double> re(4096, 0.0), im(4096, 0.0);
    re[index] = 1e-3;
    spectral_step(re.data(), im.data(), 200.0);
    return re[index] / 1e-3;
}

TEST_F(FieldModel, LinearFactorAtZeroAndAtTheSmallestWaveNumber)
{
    EXPECT_NEAR(step_ratio(0), 0.900642, 5e-7);
    // (0, 1), (1, 0), (0, -1) and (-1, 0) all have |k| = 2 pi / 64.
    for (int index : {1, 64, 63, 63 * 64})
        EXPECT_NEAR(step_ratio(index), 0.934909, 5e-7) << "index " << index;
}

TEST_F(FieldModel, ZeroFieldAtStepZeroBecomesUniformFromTheSource)
{
    auto f = step_from(std::vector<double>(4096, 0.0));
    EXPECT_NEAR(f[0], 3.66089e-5, 5e-11);
    EXPECT_NEAR(f[0], 0.05 * (1.5 + 1.499) / 4096.0, 1e-14);
    EXPECT_LT(max_spread(field_re), 1e-18);
}

TEST_F(FieldModel, OnesFieldAtStepZeroBecomesUniform)
{
    auto f = step_from(std::vector<double>(4096, 1.0));
    EXPECT_NEAR(f[0], 0.793952, 5e-7);
    EXPECT_LT(max_spread(field_re), 1e-13);
}

TEST_F(FieldModel, SourceStopsOnceItsLevelIsNoLongerPositive)
{
    std::vector<double> zero(4096, 0.0), out_re(4096), out_im(4096);
    nonlinear_term(zero.data(), zero.data(), out_re.data(), out_im.data(), 149.9);
    EXPECT_NEAR(out_re[0], 0.001, 1e-12);
    EXPECT_EQ(out_re[1], 0.0);
    EXPECT_EQ(out_im[0], 0.0);
    for (double t : {150.0, 151.0, 1e6}) {
        nonlinear_term(zero.data(), zero.data(), out_re.data(), out_im.data(), t);
        EXPECT_EQ(out_re[0], 0.0) << "t = " << t;
    }

    // Step 1500 starts at t = 149.9: only its first evaluation sees a source.
    auto f = step_from(std::vector<double>(4096, 0.0), 1499);
    EXPECT_NEAR(f[100], 0.05 * 0.001 / 4096.0, 1e-17);
    f = step_from(std::vector<double>(4096, 0.0), 1500);
    EXPECT_EQ(*std::max_element(f.begin(), f.end()), 0.0);
    EXPECT_EQ(*std::min_element(f.begin(), f.end()), 0.0);
}

// ---- the step driver ----

int redisplays = 0;
bool grid_was_current = false;

void record_redisplay()
{
    redisplays++;
    grid_was_current = std::equal(field_re, field_re + 4096, &display_grid[0][0]);
}

TEST_F(FieldModel, EachStepCountsOnceAndRequestsOneRedrawOfTheNewGrid)
{
    redisplays = 0;
    request_redisplay = record_redisplay;
    auto f = random_field(7);
    std::copy(f.begin(), f.end(), field_re);
    int before = step_count;
    for (int value : {0, 1, -5, 12345}) {
        grid_was_current = false;
        advance_one_step(value);
        EXPECT_TRUE(grid_was_current);
    }
    EXPECT_EQ(step_count, before + 4);
    EXPECT_EQ(redisplays, 4);
    EXPECT_FALSE(std::equal(f.begin(), f.end(), field_re));
}

TEST_F(FieldModel, ImaginaryPartIsOnlyRoundingAfterAStep)
{
    std::fill(field_im, field_im + 4096, 123.0); // stale, must be discarded
    auto f = random_field(3);
    step_from(f);
    double worst = 0.0;
    for (double v : field_im)
        worst = std::max(worst, std::fabs(v));
    EXPECT_LT(worst, 1e-14);
}

TEST_F(FieldModel, NonlinearTermLeavesItsInputsUnchanged)
{
    std::vector<double> re = random_field(11), im = random_field(12);
    const std::vector<double> re0 = re, im0 = im;
    std::vector<double> out_re(4096), out_im(4096);
    nonlinear_term(re.data(), im.data(), out_re.data(), out_im.data(), 0.0);
    EXPECT_EQ(re, re0);
    EXPECT_EQ(im, im0);
}

// ---- symmetries of the periodic grid ----

std::vector<double> shifted(const std::vector<double> &f, int di, int dj)
{
    std::vector<double> g(4096);
    for (int i = 0; i < 64; i++)
        for (int j = 0; j < 64; j++)
            g[((i + di) % 64) * 64 + (j + dj) % 64] = f[i * 64 + j];
    return g;
}

std::vector<double> transposed(const std::vector<double> &f)
{
    std::vector<double> g(4096);
    for (int i = 0; i < 64; i++)
        for (int j = 0; j < 64; j++)
            g[j * 64 + i] = f[i * 64 + j];
    return g;
}

void expect_close(const std::vector<double> &a, const std::vector<double> &b, double tol)
{
    double worst = 0.0;
    for (int k = 0; k < 4096; k++)
        worst = std::max(worst, std::fabs(a[k] - b[k]));
    EXPECT_LT(worst, tol);
}

TEST_F(FieldModel, StepCommutesWithCyclicShiftsAndTransposition)
{
    const auto f = random_field(21);
    const auto g = step_from(f, 5);
    // Shifts by 1 and 37 along i, by 13 along j, and along both at once.
    expect_close(step_from(shifted(f, 1, 0), 5), shifted(g, 1, 0), 1e-13);
    expect_close(step_from(shifted(f, 37, 0), 5), shifted(g, 37, 0), 1e-13);
    expect_close(step_from(shifted(f, 0, 13), 5), shifted(g, 0, 13), 1e-13);
    expect_close(step_from(shifted(f, 50, 3), 5), shifted(g, 50, 3), 1e-13);
    expect_close(step_from(transposed(f), 5), transposed(g), 1e-13);
}

// ---- alpha changed between steps ----

// One step of a uniform field u without source, by hand: the grid reduces to
// du/dt = (a - 4 range_coeff) u - a u^3, stepped as the model does.
double uniform_step(double u, double a)
{
    double e = std::exp(dt * (a - 4.0 * range_coeff));
    auto n = [a](double x) { return -a * x * x * x; };
    double q1 = n(u);
    double q2 = n(e * u + dt * q1);
    return e * u + dt / 2.0 * (q1 + q2);
}

TEST_F(FieldModel, AlphaChangeActsFromTheNextStepOnTheCubicTerm)
{
    std::fill(field_re, field_re + 4096, 0.8);
    step_count = 2000;
    advance_one_step(0);
    double u = uniform_step(0.8, 1.5);
    EXPECT_NEAR(field_re[77], u, 1e-13);

    alpha = 3.25f;
    advance_one_step(0);
    u = uniform_step(u, 3.25);
    EXPECT_NEAR(field_re[77], u, 1e-13);

    // A value the float cannot hold exactly enters widened, not rounded to
    // a nearby double.
    alpha = 2.7f;
    advance_one_step(0);
    u = uniform_step(u, static_cast<double>(2.7f));
    EXPECT_NEAR(field_re[77], u, 1e-13);
}

TEST_F(FieldModel, AlphaChangeActsFromTheNextStepOnTheLinearRate)
{
    // Mode (10, 0), near the fastest growth; amplitude 1e-6 keeps the cube
    // out of sight.
    double k = 10 * 2 * pi / 64;
    double rate = 1.5 - stiffness * k * k - range_coeff * (4 - 2 * pi * k);
    for (int i = 0; i < 64; i++)
        for (int j = 0; j < 64; j++)
            field_re[i * 64 + j] = 1e-6 * std::cos(2 * pi * 10 * i / 64);
    step_count = 1600;
    advance_one_step(0);
    EXPECT_NEAR(field_re[0] / 1e-6, std::exp(dt * rate), 1e-9);

    alpha = 4.0f;
    double before = field_re[0];
    advance_one_step(0);
    EXPECT_NEAR(field_re[0] / before, std::exp(dt * (rate + 2.5)), 1e-9);
}
