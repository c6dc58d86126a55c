// SPDX-License-Identifier: MIT
// The real spingrid program under an X server: its windows, its first
// picture, and what real mouse presses in the grid window do to the picture.
#include <gtest/gtest.h>

#include "tests/x11_harness.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

namespace {

const int cells = 50;
const std::uint32_t red = 0xff0000, black = 0x000000, white = 0xffffff;

// A colour as #rrggbb, for messages.
std::string hex(std::uint32_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(c));
    return text;
}

// Checks the picture of a 50 x 50 lattice: pure white margin, every cell
// one solid block of pure red or pure black. Counts the red cells.
::testing::AssertionResult is_lattice_picture(const picture &p, int *red_cells = nullptr)
{
    if (p.width <= 0)
        return ::testing::AssertionFailure() << "no picture";
    std::uint32_t cell_colour[cells][cells];
    for (int i = 0; i < cells; i++)
        for (int j = 0; j < cells; j++) {
            int x, y;
            grid_cell_centre(cells, p.width, p.height, i, j, &x, &y);
            cell_colour[i][j] = pixel_at(p, x, y);
            if (cell_colour[i][j] != red && cell_colour[i][j] != black)
                return ::testing::AssertionFailure()
                       << "cell (" << i << ", " << j << ") has colour " << hex(cell_colour[i][j])
                       << " at its centre pixel (" << x << ", " << y << ")";
        }
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++) {
            std::uint32_t c = pixel_at(p, x, y);
            int i = 0, j = 0;
            grid_part part = grid_part_at(cells, p.width, p.height, x, y, &i, &j);
            if (c == off_screen_pixel || part == grid_edge)
                continue;
            if (part == grid_margin && c != white)
                return ::testing::AssertionFailure()
                       << "margin pixel (" << x << ", " << y << ") is " << hex(c);
            if (part == grid_cell && c != cell_colour[i][j])
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") of cell (" << i << ", " << j << ") is "
                       << hex(c) << ", its centre " << hex(cell_colour[i][j]);
        }
    if (red_cells != nullptr) {
        *red_cells = 0;
        for (int i = 0; i < cells; i++)
            for (int j = 0; j < cells; j++)
                *red_cells += cell_colour[i][j] == red;
    }
    return ::testing::AssertionSuccess();
}

class SpingridWindow : public ::testing::Test {
  protected:
    void SetUp() override
    {
        std::string why;
        display = open_test_display(&why);
        ASSERT_NE(display, nullptr) << why;
        // freeglut sets no _NET_WM_PID without a window manager, so a window
        // found by title is only known to be ours if none was there before.
        ASSERT_EQ(find_window(display, SPINGRID_PATH, 0), 0u)
            << "a window titled " << SPINGRID_PATH << " is already open";
        pid = start_program(SPINGRID_PATH);
        ASSERT_GT(pid, 0) << "fork failed";
        grid = wait_for_window(display, SPINGRID_PATH, pid, 10000);
        ASSERT_NE(grid, 0u) << "no grid window titled " << SPINGRID_PATH
                            << (program_running(pid) ? "" : "; the program has exited");
        controls = wait_for_window(display, "Temperature", pid, 10000);
        ASSERT_NE(controls, 0u) << "no control window titled Temperature";
        ASSERT_TRUE(wait_until([&] { return grab() && is_lattice_picture(shown); }, 5000))
            << "the grid window never showed a lattice: " << is_lattice_picture(shown).message();
    }

    void TearDown() override
    {
        stop_program(pid);
        if (display != nullptr)
            XCloseDisplay(display);
    }

    // Reads the grid window into shown.
    bool grab() { return grab_picture(display, grid, &shown); }

    // Centre of the grid window, where the tests press.
    void press_centre(unsigned button)
    {
        window_info info;
        ASSERT_TRUE(get_window_info(display, grid, &info));
        click(display, grid, info.width / 2, info.height / 2, button);
    }

    Display *display = nullptr;
    pid_t pid = -1;
    Window grid = 0;
    Window controls = 0;
    picture shown;
};

TEST_F(SpingridWindow, WindowsHaveTheirTitlesSizesAndPlaces)
{
    window_info info;
    ASSERT_TRUE(get_window_info(display, grid, &info));
    // No size is requested, so GLUT's default applies.
    EXPECT_EQ(info.width, 300);
    EXPECT_EQ(info.height, 300);
    ASSERT_TRUE(get_window_info(display, controls, &info));
    EXPECT_EQ(info.root_x, 475);
    EXPECT_EQ(info.root_y, 100);
    EXPECT_TRUE(program_running(pid));
}

TEST_F(SpingridWindow, FirstPictureIsARandomLatticeInAWhiteMargin)
{
    int red_cells = 0;
    ASSERT_TRUE(is_lattice_picture(shown, &red_cells));
    // Each spin is +1 with probability 1/2: 1250 +- 25 red cells, so 40%..60%
    // is 10 standard deviations wide.
    EXPECT_GE(red_cells, 1000);
    EXPECT_LE(red_cells, 1500);
}

TEST_F(SpingridWindow, RightPressChangesTheLatticeOnce)
{
    picture before = shown;
    press_centre(3);
    ASSERT_TRUE(wait_until([&] { return grab() && !same_picture(shown, before); }, 3000))
        << "a right press did not change the picture";
    // Let the redraw of the one sweep finish before taking it as the result.
    picture after = shown;
    wait_until([&] { return grab() && same_picture(shown, after); }, 500);
    after = shown;
    EXPECT_TRUE(is_lattice_picture(after));
    EXPECT_TRUE(stays_true([&] { return grab() && same_picture(shown, after); }, 1000))
        << "the picture kept changing after a right press";
}

TEST_F(SpingridWindow, ReleasesAndTheMiddleButtonChangeNothing)
{
    picture before = shown;
    press_centre(2);
    window_info info;
    ASSERT_TRUE(get_window_info(display, grid, &info));
    // Moving the pointer and pressing in the margin are no different.
    click(display, grid, 2, info.height - 3, 2);
    EXPECT_TRUE(stays_true([&] { return grab() && same_picture(shown, before); }, 1000))
        << "the middle button changed the picture";
}

TEST_F(SpingridWindow, LeftPressRunsAHundredSweepsOverTenSeconds)
{
    picture last = shown;
    std::set<std::uint64_t> seen{picture_hash(last)};
    double pressed = now_ms();
    press_centre(1);
    double first_change = -1, last_change = -1, longest_gap = 0;
    // Poll past the burst's end (10 s) with room for a loaded machine, and
    // note when the picture changes.
    wait_until(
        [&] {
            if (!grab() || same_picture(shown, last))
                return false;
            double t = now_ms() - pressed;
            if (first_change < 0)
                first_change = t;
            else
                longest_gap = std::max(longest_gap, t - last_change);
            last_change = t;
            last = shown;
            seen.insert(picture_hash(shown));
            return false;
        },
        13000);
    RecordProperty("distinct_pictures", static_cast<int>(seen.size()));
    RecordProperty("first_change_ms", static_cast<int>(first_change));
    RecordProperty("last_change_ms", static_cast<int>(last_change));
    RecordProperty("longest_gap_ms", static_cast<int>(longest_gap));
    ASSERT_GE(first_change, 0) << "a left press did not change the picture";
    EXPECT_LT(first_change, 1000) << "the first sweep is due 100 ms after the press";
    // At temperature 1 from a random start the domains keep coarsening, so
    // nearly every one of the 100 sweeps changes the picture.
    EXPECT_GT(seen.size(), 50u) << "distinct pictures during the burst";
    EXPECT_LT(longest_gap, 1000) << "the burst paused";
    EXPECT_GT(last_change, 9000) << "the burst ended early";
    EXPECT_LT(last_change, 11000) << "sweeps went on after the last timer was due";
    EXPECT_TRUE(is_lattice_picture(last));
    EXPECT_TRUE(stays_true([&] { return grab() && same_picture(shown, last); }, 1000));
}

} // namespace
