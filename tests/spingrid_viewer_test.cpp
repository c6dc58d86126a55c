// SPDX-License-Identifier: MIT
// spingrid's display, mouse and timer callbacks, run against the recording
// stand-in for GL and GLUT: no window is needed.
#include "common/random_draw.h"
#include "spingrid/lattice.h"
#include "spingrid/viewer.h"
#include "tests/support/gl_recorder.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

namespace {

long draws = 0;
int counting_draw()
{
    draws++;
    return rand15();
}

class SpinViewer : public ::testing::Test {
  protected:
    void SetUp() override
    {
        clear_record();
        srand(5);
        randomize_spins();
        random_source = counting_draw;
        draws = 0;
        temperature = 1;
        main_window = 7;
    }
    void TearDown() override { random_source = rand15; }
};

TEST_F(SpinViewer, DrawsEveryCellOnceInsideAOneCellMargin)
{
    draw_spins();
    ASSERT_TRUE(is_grid_frame(50));
    size_t n = 0;
    for (int i = 0; i < 50; i++)
        for (int j = 0; j < 50; j++, n++)
            ASSERT_EQ(recorded.polygons[n].red, spins[i][j] == 1 ? 1.0 : 0.0);
    // The lattice spans -25/26 .. 25/26, leaving one cell of white each side.
    EXPECT_DOUBLE_EQ(recorded.polygons.front().xy[0], -25.0 / 26);
    EXPECT_DOUBLE_EQ(recorded.polygons.back().xy[4], 25.0 / 26);
}

TEST_F(SpinViewer, BackgroundIsWhite)
{
    set_background();
    for (float c : recorded.clear_colour)
        EXPECT_EQ(c, 1.0f);
}

TEST_F(SpinViewer, LeftPressSchedulesAHundredSweepsAtThatTemperature)
{
    temperature = 3;
    on_mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 17, 230);
    temperature = 1; // a later change does not reach timers already set
    ASSERT_EQ(recorded.timers.size(), 100u);
    for (int k = 0; k < 100; k++) {
        EXPECT_EQ(recorded.timers[k].delay_ms, 100u * (k + 1));
        EXPECT_EQ(recorded.timers[k].callback, timer_sweep);
        EXPECT_EQ(recorded.timers[k].value, 3);
    }
    EXPECT_EQ(draws, 0) << "scheduling must not sweep";
}

TEST_F(SpinViewer, RightPressRunsExactlyOneSweepAndRedraws)
{
    on_mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    EXPECT_EQ(draws, 3 * 2500);
    EXPECT_TRUE(recorded.timers.empty());
    ASSERT_EQ(recorded.redisplays.size(), 1u);
    EXPECT_EQ(recorded.redisplays[0], 7);
}

TEST_F(SpinViewer, ReleasesAndOtherButtonsDoNothing)
{
    int before[50][50];
    std::copy(&spins[0][0], &spins[0][0] + 2500, &before[0][0]);
    on_mouse(GLUT_LEFT_BUTTON, GLUT_UP, 5, 5);
    on_mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 5, 5);
    for (int state : {GLUT_DOWN, GLUT_UP})
        for (int button : {GLUT_MIDDLE_BUTTON, 3, 4, 7, -1})
            on_mouse(button, state, 100, 100);
    EXPECT_EQ(draws, 0);
    EXPECT_TRUE(recorded.timers.empty());
    EXPECT_TRUE(recorded.redisplays.empty());
    EXPECT_TRUE(std::equal(&spins[0][0], &spins[0][0] + 2500, &before[0][0]));
}

TEST_F(SpinViewer, TimerSweepsAtItsOwnValueAndRedrawsTheGrid)
{
    // An all +1 lattice at T = 4 loses spins in one sweep; at T = 1 a cost
    // of 8 passes for 11 draws in 32768, so nearly all stay.
    for (auto &row : spins)
        for (int &s : row)
            s = 1;
    timer_sweep(4);
    int down = 0;
    for (auto &row : spins)
        for (int s : row)
            down += s == -1;
    EXPECT_GT(down, 200);
    EXPECT_EQ(draws, 3 * 2500);
    ASSERT_EQ(recorded.redisplays.size(), 1u);
    EXPECT_EQ(recorded.redisplays[0], 7);
}

TEST_F(SpinViewer, BurstOfNothingRegistersNothing)
{
    schedule_burst(0, 100);
    schedule_burst(-5, 100);
    EXPECT_TRUE(recorded.timers.empty());
    schedule_burst(3, 250);
    ASSERT_EQ(recorded.timers.size(), 3u);
    EXPECT_EQ(recorded.timers[2].delay_ms, 750u);
}

} // namespace
