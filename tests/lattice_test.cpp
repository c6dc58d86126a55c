// SPDX-License-Identifier: MIT
// The lattice routines on hand-built lattices with scripted draws.
#include "common/random_draw.h"
#include "spingrid/lattice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Draws come from this script, cycled; draw_count counts every call.
std::vector<int> script;
size_t script_pos = 0;
long draw_count = 0;

int scripted_draw()
{
    draw_count++;
    int r = script[script_pos];
    script_pos = (script_pos + 1) % script.size();
    return r;
}

class Lattice : public ::testing::Test {
  protected:
    void SetUp() override
    {
        saved_size = lattice_size;
        random_source = scripted_draw;
        script = {0};
        script_pos = 0;
        draw_count = 0;
    }
    void TearDown() override
    {
        lattice_size = saved_size;
        random_source = rand15;
    }
    // Every attempt of a sweep tries cell (i, j) against threshold draw r3.
    static void aim_every_attempt(int i, int j, int r3) { script = {i, j, r3}; }

    static void fill(int value)
    {
        for (auto &row : spins)
            for (int &s : row)
                s = value;
    }
    static void checkerboard()
    {
        for (int i = 0; i < 50; i++)
            for (int j = 0; j < 50; j++)
                spins[i][j] = (i + j) % 2 ? 1 : -1;
    }
    int saved_size = 50;
};

TEST_F(Lattice, RandomizeSplitsDrawsAtOneHalf)
{
    script = {0, 16383, 7, 16000};
    randomize_spins();
    EXPECT_EQ(draw_count, 2500);
    for (auto &row : spins)
        for (int s : row)
            ASSERT_EQ(s, -1);

    script = {16384, 32767, 20000};
    randomize_spins();
    for (auto &row : spins)
        for (int s : row)
            ASSERT_EQ(s, 1);
}

TEST_F(Lattice, RandomizeGivesBothSpinsFromRealDraws)
{
    random_source = rand15;
    srand(7);
    randomize_spins();
    int up = 0;
    for (auto &row : spins)
        for (int s : row) {
            ASSERT_TRUE(s == 1 || s == -1);
            up += s == 1;
        }
    EXPECT_NEAR(up, 1250, 150);
}

TEST_F(Lattice, CornerNeighboursWrapAround)
{
    // Turning exactly the four listed neighbours down makes the corner's
    // flip cost -8; turning any other cell down would leave one up.
    fill(1);
    spins[49][0] = spins[1][0] = spins[0][1] = spins[0][49] = -1;
    EXPECT_EQ(flip_energy(0, 0), -8);

    fill(1);
    spins[48][49] = spins[0][49] = spins[49][0] = spins[49][48] = -1;
    EXPECT_EQ(flip_energy(49, 49), -8);

    // Diagonal cells are not neighbours.
    fill(1);
    spins[49][49] = spins[1][1] = spins[49][1] = spins[1][49] = -1;
    EXPECT_EQ(flip_energy(0, 0), 8);
}

TEST_F(Lattice, FlipEnergyOnUniformAndCheckerboardLattices)
{
    for (int value : {1, -1}) {
        fill(value);
        for (int i = 0; i < 50; i++)
            for (int j = 0; j < 50; j++)
                ASSERT_EQ(flip_energy(i, j), 8) << i << "," << j;
    }
    checkerboard();
    for (int i = 0; i < 50; i++)
        for (int j = 0; j < 50; j++)
            ASSERT_EQ(flip_energy(i, j), -8) << i << "," << j;
}

TEST_F(Lattice, FlipEnergyCountsAgreeingNeighbours)
{
    fill(1);
    spins[10][11] = -1;
    EXPECT_EQ(flip_energy(10, 10), 4);
    spins[10][9] = -1;
    EXPECT_EQ(flip_energy(10, 10), 0);
    spins[9][10] = -1;
    EXPECT_EQ(flip_energy(10, 10), -4);
}

TEST_F(Lattice, SweepMakesThreeDrawsPerAttempt)
{
    random_source = rand15;
    fill(1);
    random_source = [] {
        draw_count++;
        return rand15();
    };
    metropolis_sweep(2);
    EXPECT_EQ(draw_count, 3 * 50 * 50);

    lattice_size = 7;
    draw_count = 0;
    metropolis_sweep(2);
    EXPECT_EQ(draw_count, 3 * 7 * 7);
}

// With L = 3 a sweep is nine attempts, all aimed at one cell here. An odd
// number of accepted flips leaves the cell flipped.
TEST_F(Lattice, SiteIsRowThenColumnTakenAsRemainders)
{
    lattice_size = 3;
    checkerboard(); // every attempt accepted whatever the threshold
    int before_12 = spins[1][2], before_21 = spins[2][1];
    aim_every_attempt(7, 32765, 32767); // 7 mod 3 = 1, 32765 mod 3 = 2
    metropolis_sweep(1);
    EXPECT_EQ(spins[1][2], -before_12);
    EXPECT_EQ(spins[2][1], before_21);
}

TEST_F(Lattice, ZeroCostFlipsEvenAtTheTopThreshold)
{
    lattice_size = 3;
    fill(1);
    spins[0][1] = spins[1][0] = -1; // two neighbours agree, two disagree
    ASSERT_EQ(flip_energy(1, 1), 0);
    aim_every_attempt(1, 1, 32767);
    metropolis_sweep(1);
    EXPECT_EQ(spins[1][1], -1);
}

TEST_F(Lattice, ZeroThresholdDrawAlwaysFlips)
{
    lattice_size = 3;
    for (int T = 1; T <= 4; T++) {
        fill(1);
        ASSERT_EQ(flip_energy(1, 1), 8);
        aim_every_attempt(1, 1, 0);
        metropolis_sweep(T);
        EXPECT_EQ(spins[1][1], -1) << "T = " << T;
    }
}

// A costly flip is accepted exactly for draws r <= floor(32767 exp(-dE/T)),
// with a floating-point quotient dE / T.
TEST_F(Lattice, CostlyFlipAcceptedUpToTheBoltzmannThreshold)
{
    lattice_size = 3;
    for (int T = 1; T <= 4; T++)
        for (int cost : {4, 8}) {
            int last = static_cast<int>(std::floor(32767.0 * std::exp(-cost / double(T))));
            for (int r3 : {last, last + 1}) {
                fill(1);
                if (cost == 4)
                    spins[0][1] = -1;
                ASSERT_EQ(flip_energy(1, 1), cost);
                aim_every_attempt(1, 1, r3);
                metropolis_sweep(T);
                // Once flipped the cell costs -cost and flips back, so an
                // accepted first attempt leaves it flipped after nine.
                EXPECT_EQ(spins[1][1], r3 == last ? -1 : 1)
                    << "T = " << T << ", dE = " << cost << ", draw " << r3;
            }
        }
}

TEST_F(Lattice, ThresholdAtTemperatureThreeIsExpOfMinusFourThirds)
{
    // e^(-4/3) = 0.2636 and e^(-1) = 0.3679: a draw of 0.3 * 32767 lies
    // between them, so an integer quotient 4 / 3 = 1 would accept it.
    lattice_size = 3;
    fill(1);
    spins[0][1] = -1;
    aim_every_attempt(1, 1, static_cast<int>(0.3 * 32767));
    metropolis_sweep(3);
    EXPECT_EQ(spins[1][1], 1);

    // At T = 1 a cost of 8 passes only below e^(-8) = 0.000335.
    fill(1);
    aim_every_attempt(1, 1, 11);
    metropolis_sweep(1);
    EXPECT_EQ(spins[1][1], 1);
    aim_every_attempt(1, 1, 10);
    metropolis_sweep(1);
    EXPECT_EQ(spins[1][1], -1);
}

TEST_F(Lattice, SweepTouchesOnlyTheLBlock)
{
    lattice_size = 4;
    for (auto &row : spins)
        for (int &s : row)
            s = 5; // a value no sweep writes
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            spins[i][j] = 1;
    random_source = rand15;
    srand(3);
    for (int n = 0; n < 50; n++)
        metropolis_sweep(4);
    for (int i = 0; i < 50; i++)
        for (int j = 0; j < 50; j++) {
            if (i < 4 && j < 4)
                ASSERT_TRUE(spins[i][j] == 1 || spins[i][j] == -1);
            else
                ASSERT_EQ(spins[i][j], 5) << i << "," << j;
        }
}

TEST(RandomDraw, CoversExactlyFifteenBits)
{
    srand(1);
    int lo = 32767, hi = 0;
    for (int n = 0; n < 2000000; n++) {
        int r = rand15();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 32767);
}

} // namespace
