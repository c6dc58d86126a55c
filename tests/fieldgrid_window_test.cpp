// SPDX-License-Identifier: MIT
// The real fieldgrid program under an X server: its windows, its all-red
// first picture, and what a right press and a typed alpha do to the picture.
// The expected pictures come from the field model itself, run in this process
// on the field read back from the screen.
#include <gtest/gtest.h>

#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"
#include "tests/support/grid_picture.h"
#include "tests/support/out_of_process_viewer.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int cells = grid_side;

// The red level (0..255) of each cell; false when the picture is not a
// grid in a white margin or a cell is not a shade of red.
::testing::AssertionResult read_cells(const picture &p, int level[cells][cells])
{
    std::vector<std::uint32_t> colours;
    ::testing::AssertionResult read = read_grid(p, cells, &colours);
    if (!read)
        return read;
    for (int i = 0; i < cells; i++)
        for (int j = 0; j < cells; j++) {
            const std::uint32_t c = colours[i * cells + j];
            if ((c & 0xffff) != 0)
                return ::testing::AssertionFailure()
                       << "cell (" << i << ", " << j << ") is not a shade of red: " << std::hex
                       << c;
            level[i][j] = int(c >> 16);
        }
    return ::testing::AssertionSuccess();
}

// The red level the viewer draws for a field value.
int level_of(double v)
{
    double u = v < -1 ? -1 : v > 1 ? 1 : v;
    return int(std::lround((u + 1) / 2 * 255));
}

class FieldgridWindow : public OutOfProcessViewer {
  protected:
    void SetUp() override
    {
        start_viewer(FIELDGRID_PATH, "alpha",
                     [this](const picture &p) { return read_cells(p, level); });
    }

    // Presses the right button in the grid and waits for the picture of the
    // step to settle.
    void right_press_and_wait()
    {
        picture before = shown;
        press_in_grid(3);
        ASSERT_TRUE(wait_until([&] { return grab() && !same_picture(shown, before); }, 5000))
            << "a right press did not change the picture";
        picture after = shown;
        ASSERT_TRUE(stays_true([&] { return grab() && same_picture(shown, after); }, 500))
            << "the picture kept changing after a right press";
        ASSERT_TRUE(read_cells(shown, level));
    }

    int level[cells][cells];
};

TEST_F(FieldgridWindow, WindowsHaveTheirTitlesAndPlaces)
{
    expect_windows_in_place();
}

TEST_F(FieldgridWindow, FirstPictureIsAllRedInAWhiteMargin)
{
    for (int i = 0; i < cells; i++)
        for (int j = 0; j < cells; j++)
            ASSERT_EQ(level[i][j], 255) << "cell (" << i << ", " << j << ")";
}

// The first step takes the field from [1.0, 1.1] to about 0.78..0.87, so the
// cells turn a red of about 0.89..0.94. Typing alpha 4 and stepping again
// must give the picture the model gives for alpha 4, not the one for 1.5.
TEST_F(FieldgridWindow, RightPressStepsAndTypedAlphaActsOnTheNextStep)
{
    right_press_and_wait();
    for (int i = 0; i < cells; i++)
        for (int j = 0; j < cells; j++) {
            ASSERT_GE(level[i][j], int(0.885 * 255)) << "cell (" << i << ", " << j << ")";
            ASSERT_LE(level[i][j], int(0.945 * 255)) << "cell (" << i << ", " << j << ")";
        }
    // The shown field, to within the 1/255 steps of the red channel.
    double first_step[4096];
    for (int i = 0; i < cells; i++)
        for (int j = 0; j < cells; j++)
            first_step[i * 64 + j] = 2.0 * level[i][j] / 255.0 - 1.0;

    box field, minus, plus;
    ASSERT_TRUE(find_spinner(display, controls, &field, &minus, &plus))
        << "the control window shows no text field and step buttons";
    click_box(display, controls, field, 1);
    ASSERT_TRUE(type_text(display, "4\n"));
    // The typed value redraws the grid without changing the field.
    EXPECT_TRUE(stays_true([&] { return grab() && read_cells(shown, level); }, 300));

    right_press_and_wait();

    // Predictions from the field read back, one step at time 0.1.
    auto predict = [&](float a, int out[cells][cells]) {
        std::copy(first_step, first_step + 4096, field_re);
        step_count = 1;
        alpha = a;
        advance_one_step(0);
        for (int i = 0; i < cells; i++)
            for (int j = 0; j < cells; j++)
                out[i][j] = level_of(display_grid[i][j]);
    };
    static int with_four[cells][cells], with_default[cells][cells];
    predict(4.0f, with_four);
    predict(1.5f, with_default);
    int off_by_more = 0, like_default = 0;
    for (int i = 0; i < cells; i++)
        for (int j = 0; j < cells; j++) {
            off_by_more += std::abs(level[i][j] - with_four[i][j]) > 3;
            like_default += std::abs(level[i][j] - with_default[i][j]) <= 3;
        }
    EXPECT_EQ(off_by_more, 0) << "cells that differ from the picture alpha 4 gives";
    EXPECT_EQ(like_default, 0) << "cells that look as if alpha were still 1.5";
}

} // namespace
