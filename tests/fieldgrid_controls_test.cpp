// SPDX-License-Identifier: MIT
// fieldgrid's start-up run inside the test process against the X server, so
// the tests can read alpha and the field while real key and mouse events,
// sent through a second X connection, reach the control and grid windows.
// GLUT starts once per process: ctest runs every case in its own process.
#include <gtest/gtest.h>

#include "fieldgrid/field_state.h"
#include "fieldgrid/viewer.h"
#include "tests/support/grid_picture.h"
#include "tests/support/in_process_viewer.h"

#include <GL/freeglut.h>

#include <X11/keysym.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const int cells = 64;

class FieldgridControls : public InProcessViewer {
  protected:
    void SetUp() override { start_viewer(start_fieldgrid, "fieldgrid in-process test", "alpha"); }

    bool alpha_becomes(float value)
    {
        return wait_until([value] { return alpha == value; }, 3000, pump);
    }

    // True once the grid window shows display_grid, each cell's red within
    // one level of (v + 1) / 2 of its clamped value.
    bool grid_shows_field(int timeout_ms)
    {
        picture p;
        std::vector<std::uint32_t> colours;
        return wait_until(
            [&] {
                if (!grab_picture(display, grid, &p) || !read_grid(p, cells, &colours))
                    return false;
                for (int i = 0; i < cells; i++)
                    for (int j = 0; j < cells; j++) {
                        double v = std::fmax(-1.0, std::fmin(1.0, display_grid[i][j]));
                        int want = int(std::lround((v + 1) / 2 * 255));
                        std::uint32_t c = colours[i * cells + j];
                        if (std::abs(int(c >> 16) - want) > 1 || (c & 0xffff) != 0)
                            return false;
                    }
                return true;
            },
            timeout_ms, pump);
    }
};

TEST_F(FieldgridControls, TypedValuesReachAlphaClamped)
{
    EXPECT_EQ(alpha, 1.5f);
    type_into_field("7\n");
    EXPECT_TRUE(alpha_becomes(4.0f)) << "7 should be clamped to 4, alpha is " << alpha;
    type_into_field("0.2\n");
    EXPECT_TRUE(alpha_becomes(1.0f)) << "0.2 should be clamped to 1, alpha is " << alpha;
    type_into_field("2.25\n");
    EXPECT_TRUE(alpha_becomes(2.25f)) << "alpha is " << alpha;
}

TEST_F(FieldgridControls, BadInputLeavesAlphaUnchanged)
{
    type_into_field("2.5\n");
    ASSERT_TRUE(alpha_becomes(2.5f));
    for (const char *text : {"abc\n", "1..2\n", "3x\n", "nan\n", "inf\n", "-inf\n"}) {
        type_into_field(text);
        EXPECT_TRUE(stays_true([] { return alpha == 2.5f; }, 300, pump))
            << "typing " << text << " changed alpha to " << alpha;
    }
    // Empty text: select it all, delete it, commit.
    click_box(field);
    ASSERT_TRUE(tap_key(display, XK_BackSpace, pump));
    ASSERT_TRUE(tap_key(display, XK_Return, pump));
    EXPECT_TRUE(stays_true([] { return alpha == 2.5f; }, 300, pump)) << "alpha is " << alpha;
    // A good value afterwards still gets through.
    type_into_field("3\n");
    EXPECT_TRUE(alpha_becomes(3.0f)) << "alpha is " << alpha;
}

TEST_F(FieldgridControls, StepButtonsMoveByATenthAndStopAtTheLimits)
{
    click_box(plus);
    EXPECT_TRUE(alpha_becomes(1.6f)) << "alpha is " << alpha;
    click_box(minus);
    EXPECT_TRUE(alpha_becomes(1.5f)) << "alpha is " << alpha;
    type_into_field("3.95\n");
    ASSERT_TRUE(alpha_becomes(3.95f));
    click_box(plus);
    EXPECT_TRUE(alpha_becomes(4.0f)) << "alpha is " << alpha;
    click_box(plus);
    EXPECT_TRUE(stays_true([] { return alpha == 4.0f; }, 300, pump)) << "alpha is " << alpha;
}

// A Ctrl or Shift shortcut must not swallow what is typed after it, whatever
// window the pointer was over when the modifier went up. Each habit must leave
// alpha and the field as typing the value plainly does.
TEST_F(FieldgridControls, TypingAfterCtrlAndShiftShortcutsGetsThrough)
{
    type_into_field("2.5\n");
    ASSERT_TRUE(alpha_becomes(2.5f));
    picture typed_plainly = settled_field();
    window_info grid_info;
    ASSERT_TRUE(get_window_info(display, grid, &grid_info));
    const char *habits[] = {"Ctrl+A", "Ctrl released over the grid", "Shift+Home"};
    for (const char *habit : habits) {
        type_into_field("1.5\n");
        ASSERT_TRUE(alpha_becomes(1.5f));
        click_box(field);
        if (habit == habits[0]) {
            chord(XK_Control_L, XK_a);
        } else if (habit == habits[1]) {
            ASSERT_TRUE(set_key(display, XK_Control_L, true));
            ASSERT_TRUE(tap_key(display, XK_a, pump));
            move_pointer(display, grid, grid_info.width / 2, grid_info.height / 2);
            ASSERT_TRUE(set_key(display, XK_Control_L, false));
            move_pointer(display, controls, field.x + 2, field.y + 2);
        } else {
            ASSERT_TRUE(tap_key(display, XK_End, pump));
            chord(XK_Shift_L, XK_Home);
        }
        ASSERT_TRUE(type_text(display, "2.5\n", pump));
        EXPECT_TRUE(alpha_becomes(2.5f)) << habit << ", then 2.5: alpha is " << alpha;
        EXPECT_TRUE(same_picture(settled_field(), typed_plainly)) << habit;
    }
}

// Buttons, wheel and arrow keys add a tenth in decimal, as typing would: the
// value stored and the field shown are those of the same value typed.
TEST_F(FieldgridControls, ButtonsWheelAndArrowKeysStepByExactTenths)
{
    for (int k = 0; k < 13; k++)
        click_box(plus);
    ASSERT_TRUE(alpha_becomes(2.8f)) << "1.5 and 13 tenths give " << alpha;
    picture stepped = settled_field();
    type_into_field("2.8\n");
    EXPECT_TRUE(stays_true([] { return alpha == 2.8f; }, 300, pump));
    EXPECT_TRUE(same_picture(settled_field(), stepped));

    // Up on a value typed but not committed commits it first; the field
    // keeps the keyboard, so Down and Enter then act on the stepped value.
    type_into_field("2.35\n");
    ASSERT_TRUE(alpha_becomes(2.35f));
    picture typed_235 = settled_field();
    type_into_field("2.25");
    ASSERT_TRUE(tap_key(display, XK_Up, pump));
    EXPECT_TRUE(alpha_becomes(2.35f)) << "typed 2.25, then Up: " << alpha;
    ASSERT_TRUE(tap_key(display, XK_Down, pump));
    EXPECT_TRUE(alpha_becomes(2.25f)) << "then Down: " << alpha;
    ASSERT_TRUE(tap_key(display, XK_Up, pump));
    ASSERT_TRUE(tap_key(display, XK_Return, pump));
    EXPECT_TRUE(alpha_becomes(2.35f)) << "then Up and Enter: " << alpha;
    EXPECT_TRUE(same_picture(settled_field(), typed_235));

    // A notch over the field or a button steps once; over the label, never.
    wheel_over(field, +1);
    EXPECT_TRUE(alpha_becomes(2.45f)) << alpha;
    wheel_over(minus, -1);
    wheel_over(plus, -1);
    EXPECT_TRUE(alpha_becomes(2.25f)) << alpha;
    wheel_over(box{0, 0, 4, 4}, +1);
    EXPECT_TRUE(stays_true([] { return alpha == 2.25f; }, 300, pump)) << alpha;

    // The limits clamp every way of stepping.
    type_into_field("3.95\n");
    ASSERT_TRUE(alpha_becomes(3.95f));
    wheel_over(plus, +1);
    wheel_over(field, +1);
    EXPECT_TRUE(stays_true([] { return alpha == 4.0f; }, 300, pump)) << alpha;
    type_into_field("1.05");
    ASSERT_TRUE(tap_key(display, XK_Down, pump));
    ASSERT_TRUE(tap_key(display, XK_Down, pump));
    EXPECT_TRUE(stays_true([] { return alpha == 1.0f; }, 300, pump)) << alpha;
}

// GLUT makes no window current for a timer, and the control window's own
// drawing leaves it current: the steps of a burst must still redraw the grid.
TEST_F(FieldgridControls, BurstStepsRedrawTheGridWhileTheControlsAreInUse)
{
    int start = step_count;
    press_in_grid(1);
    ASSERT_TRUE(wait_until([&] { return step_count >= start + 2; }, 5000, pump));
    type_into_field("3.5\n");
    ASSERT_TRUE(alpha_becomes(3.5f));
    int seen = step_count;
    ASSERT_TRUE(wait_until([&] { return step_count >= seen + 2; }, 5000, pump));
    EXPECT_TRUE(grid_shows_field(2000)) << "the grid window does not show the latest step";
    for (int n = 0; n < 3; n++) {
        click_box(plus); // control window current again
        int now = step_count;
        ASSERT_TRUE(wait_until([&] { return step_count > now; }, 5000, pump));
        EXPECT_TRUE(grid_shows_field(2000)) << "after step " << step_count;
    }
}

} // namespace
