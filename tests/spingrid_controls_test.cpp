// SPDX-License-Identifier: MIT
// spingrid's start-up run inside the test process against the X server, so
// the tests can read the live model while real key and mouse events, sent
// through a second X connection, reach the control and grid windows.
// GLUT starts once per process: ctest runs every case in its own process.
#include <gtest/gtest.h>

#include "common/random_draw.h"
#include "spingrid/lattice.h"
#include "spingrid/viewer.h"
#include "tests/support/grid_picture.h"
#include "tests/support/in_process_viewer.h"

#include <GL/freeglut.h>

#include <X11/keysym.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const int cells = 50;
const int draws_per_sweep = 3 * cells * cells;

// Draws taken from the generator so far, to count sweeps.
long draws_taken = 0;

int counting_draw()
{
    draws_taken++;
    return rand15();
}

double magnetisation()
{
    long sum = 0;
    for (int i = 0; i < lattice_size; i++)
        for (int j = 0; j < lattice_size; j++)
            sum += spins[i][j];
    return static_cast<double>(sum) / (lattice_size * lattice_size);
}

void align_all_spins()
{
    for (int i = 0; i < lattice_size; i++)
        for (int j = 0; j < lattice_size; j++)
            spins[i][j] = 1;
}

class SpingridControls : public InProcessViewer {
  protected:
    void SetUp() override
    {
        random_source = counting_draw;
        start_viewer(start_spingrid, "spingrid in-process test", "Temperature");
    }

    bool temperature_becomes(int value)
    {
        return wait_until([value] { return temperature == value; }, 3000, pump);
    }

    // Waits for count sweeps beyond those that had run when draws_taken was
    // before.
    bool sweeps_reach(long before, long count, int timeout_ms)
    {
        return wait_until([=] { return draws_taken >= before + count * draws_per_sweep; },
                          timeout_ms, pump);
    }
};

TEST_F(SpingridControls, TypedValuesReachTemperatureClamped)
{
    EXPECT_EQ(temperature, 1);
    type_into_field("3\n");
    EXPECT_TRUE(temperature_becomes(3)) << "temperature is " << temperature;
    type_into_field("9\n");
    EXPECT_TRUE(temperature_becomes(4))
        << "9 should be clamped to 4, temperature is " << temperature;
    type_into_field("-3\n");
    EXPECT_TRUE(temperature_becomes(1))
        << "-3 should be clamped to 1, temperature is " << temperature;
}

TEST_F(SpingridControls, StepButtonsStepAndStopAtTheLimits)
{
    for (int expected = 2; expected <= 4; expected++) {
        click_box(plus);
        ASSERT_TRUE(temperature_becomes(expected)) << "temperature is " << temperature;
    }
    // A + at 4 must leave 4, or the - after it would not give 3.
    click_box(plus);
    click_box(minus);
    ASSERT_TRUE(temperature_becomes(3)) << "temperature is " << temperature;
    for (int expected = 2; expected >= 1; expected--) {
        click_box(minus);
        ASSERT_TRUE(temperature_becomes(expected)) << "temperature is " << temperature;
    }
    click_box(minus);
    click_box(plus);
    EXPECT_TRUE(temperature_becomes(2)) << "temperature is " << temperature;
}

// The wheel and Up and Down step the integer spinner by one, clamped, and
// leave the field as typing the value plainly does.
TEST_F(SpingridControls, WheelAndArrowKeysStepByOneWithinTheLimits)
{
    wheel_over(field, +1);
    ASSERT_TRUE(temperature_becomes(2)) << "temperature is " << temperature;
    wheel_over(plus, +1);
    wheel_over(minus, +1);
    ASSERT_TRUE(temperature_becomes(4)) << "temperature is " << temperature;
    wheel_over(field, +1);
    EXPECT_TRUE(stays_true([] { return temperature == 4; }, 300, pump));
    picture stepped = settled_field();
    type_into_field("4\n");
    EXPECT_TRUE(same_picture(settled_field(), stepped));

    type_into_field("2"); // not committed: Up commits it first
    ASSERT_TRUE(tap_key(display, XK_Up, pump));
    EXPECT_TRUE(temperature_becomes(3)) << "typed 2, then Up: " << temperature;
    for (int k = 0; k < 3; k++)
        ASSERT_TRUE(tap_key(display, XK_Down, pump));
    EXPECT_TRUE(temperature_becomes(1)) << "then Down three times: " << temperature;
    wheel_over(minus, -1);
    ASSERT_TRUE(tap_key(display, XK_Return, pump));
    EXPECT_TRUE(stays_true([] { return temperature == 1; }, 300, pump));
    stepped = settled_field();
    type_into_field("1\n");
    EXPECT_TRUE(same_picture(settled_field(), stepped));
}

TEST_F(SpingridControls, GridShowsTheSpinsWithIRightwardsAndJUpwards)
{
    picture p;
    std::vector<std::uint32_t> colours;
    bool matches = wait_until(
        [&] {
            if (!grab_picture(display, grid, &p) || !read_grid(p, cells, &colours))
                return false;
            for (int i = 0; i < cells; i++)
                for (int j = 0; j < cells; j++)
                    if (colours[i * cells + j] != (spins[i][j] == 1 ? 0xff0000u : 0x000000u))
                        return false;
            return true;
        },
        5000, pump);
    EXPECT_TRUE(matches) << "the grid window does not show spins[i][j] at cell (i, j)";
}

// At temperature 1 an aligned lattice stays aligned (a flip costs 8, taken
// with probability e^-8); at 4, above the critical temperature, one sweep
// already flips about one spin in seven and the order melts within a few.
TEST_F(SpingridControls, RightPressRunsOneSweepAtTheCurrentTemperature)
{
    align_all_spins();
    long before = draws_taken;
    press_in_grid(3);
    ASSERT_TRUE(sweeps_reach(before, 1, 3000)) << "a right press ran no sweep";
    EXPECT_TRUE(stays_true([&] { return draws_taken == before + draws_per_sweep; }, 500, pump))
        << "a right press ran " << static_cast<double>(draws_taken - before) / draws_per_sweep
        << " sweeps";
    EXPECT_GT(magnetisation(), 0.98);

    type_into_field("4\n");
    ASSERT_TRUE(temperature_becomes(4));
    align_all_spins();
    before = draws_taken;
    press_in_grid(3);
    ASSERT_TRUE(sweeps_reach(before, 1, 3000)) << "a right press ran no sweep";
    EXPECT_LT(magnetisation(), 0.9) << "the sweep did not run at temperature 4";
}

TEST_F(SpingridControls, LeftPressAfterAChangeSweepsAtTheNewTemperature)
{
    type_into_field("4\n");
    ASSERT_TRUE(temperature_becomes(4));
    align_all_spins();
    long before = draws_taken;
    press_in_grid(1);
    ASSERT_TRUE(sweeps_reach(before, 5, 3000)) << "the burst did not run 5 sweeps in 3 s";
    EXPECT_LT(magnetisation(), 0.6) << "the burst did not run at temperature 4";
}

TEST_F(SpingridControls, ChangeDuringABurstLeavesItsTemperature)
{
    align_all_spins();
    long before = draws_taken;
    press_in_grid(1);
    type_into_field("4\n");
    ASSERT_TRUE(temperature_becomes(4));
    double lowest = 1;
    ASSERT_TRUE(wait_until(
        [&] {
            lowest = std::min(lowest, magnetisation());
            return draws_taken >= before + 20 * draws_per_sweep;
        },
        6000, pump))
        << "the burst did not run 20 sweeps in 6 s";
    EXPECT_GT(lowest, 0.95) << "sweeps of a burst started at temperature 1 ran hotter";
}

} // namespace
