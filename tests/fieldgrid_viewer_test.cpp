// SPDX-License-Identifier: MIT
// fieldgrid's display and mouse callbacks, run against the recording stand-in
// for GL and GLUT: no window is needed.
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"
#include "fieldgrid/viewer.h"
#include "tests/support/gl_recorder.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

class FieldViewer : public ::testing::Test {
  protected:
    void SetUp() override
    {
        clear_record();
        srand(9);
        randomize_field();
        grid_to_field(field_re);
        main_window = 3;
    }
};

TEST_F(FieldViewer, DrawsEveryCellOnceInsideAOneCellMargin)
{
    draw_field();
    ASSERT_TRUE(is_grid_frame(64));
    // The initial field lies in [1.0, 1.1]: every cell full red.
    for (const recorded_polygon &p : recorded.polygons)
        ASSERT_EQ(p.red, 1.0);
    EXPECT_DOUBLE_EQ(recorded.polygons.front().xy[0], -32.0 / 33);
    EXPECT_DOUBLE_EQ(recorded.polygons.back().xy[4], 32.0 / 33);
}

TEST_F(FieldViewer, ColourClampsToMinusOnePlusOne)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value, red;
    } cases[] = {{-2.0, 0.0}, {-1.0, 0.0}, {0.0, 0.5},  {0.5, 0.75},
                 {1.0, 1.0},  {2.0, 1.0},  {-inf, 0.0}, {inf, 1.0}};
    int cell = 0;
    for (const auto &c : cases) {
        display_grid[cell / 64][cell % 64] = c.value;
        cell += 65; // spread the cases over rows and columns
    }
    draw_field();
    cell = 0;
    for (const auto &c : cases) {
        const recorded_polygon &p = recorded.polygons[cell];
        EXPECT_EQ(p.red, c.red) << "value " << c.value;
        EXPECT_EQ(p.green, 0.0);
        EXPECT_EQ(p.blue, 0.0);
        cell += 65;
    }
}

TEST_F(FieldViewer, GridSizeAboveTheArraysDrawsOnlyTheArrays)
{
    grid_size = 80.0;
    draw_field();
    grid_size = 64.0;
    EXPECT_EQ(recorded.polygons.size(), 4096u);
}

TEST_F(FieldViewer, BackgroundIsWhite)
{
    set_background();
    for (float c : recorded.clear_colour)
        EXPECT_EQ(c, 1.0f);
}

TEST_F(FieldViewer, LeftPressSchedulesFiveHundredSteps)
{
    int steps = step_count;
    on_mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 40, 12);
    ASSERT_EQ(recorded.timers.size(), 500u);
    for (int k = 0; k < 500; k++) {
        EXPECT_EQ(recorded.timers[k].delay_ms, 100u * (k + 1));
        EXPECT_EQ(recorded.timers[k].callback, advance_one_step);
        EXPECT_EQ(recorded.timers[k].value, 0);
    }
    EXPECT_EQ(recorded.timers.back().delay_ms, 50000u);
    EXPECT_EQ(step_count, steps) << "scheduling must not step";
}

TEST_F(FieldViewer, RightPressRunsExactlyOneStep)
{
    int steps = step_count;
    double before = field_re[100];
    on_mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    EXPECT_EQ(step_count, steps + 1);
    EXPECT_NE(field_re[100], before);
    EXPECT_EQ(display_grid[1][36], field_re[100]);
    EXPECT_TRUE(recorded.timers.empty());
}

TEST_F(FieldViewer, ReleasesAndOtherButtonsDoNothing)
{
    int steps = step_count;
    on_mouse(GLUT_LEFT_BUTTON, GLUT_UP, 5, 5);
    on_mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 5, 5);
    for (int state : {GLUT_DOWN, GLUT_UP})
        for (int button : {GLUT_MIDDLE_BUTTON, 3, 4, 7, -1})
            on_mouse(button, state, 100, 100);
    EXPECT_EQ(step_count, steps);
    EXPECT_TRUE(recorded.timers.empty());
    EXPECT_TRUE(recorded.redisplays.empty());
}

TEST_F(FieldViewer, BurstOfNothingRegistersNothing)
{
    schedule_burst(0, 100);
    schedule_burst(-1, 100);
    EXPECT_TRUE(recorded.timers.empty());
}

} // namespace
