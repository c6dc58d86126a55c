// SPDX-License-Identifier: MIT
#include "tests/support/out_of_process_viewer.h"

#include <string>

void OutOfProcessViewer::start_viewer(
    const char *path, const char *control_title,
    const std::function<::testing::AssertionResult(const picture &)> &shows_start)
{
    std::string why;
    display = open_test_display(&why);
    ASSERT_NE(display, nullptr) << why;
    // freeglut sets no _NET_WM_PID without a window manager, so a window
    // found by title is only known to be ours if none was there before.
    ASSERT_EQ(find_window(display, path, 0), 0u)
        << "a window titled " << path << " is already open";
    pid = start_program(path);
    ASSERT_GT(pid, 0) << "fork failed";
    grid = wait_for_window(display, path, pid, 10000);
    ASSERT_NE(grid, 0u) << "no grid window titled " << path
                        << (program_running(pid) ? "" : "; the program has exited");
    controls = wait_for_window(display, control_title, pid, 10000);
    ASSERT_NE(controls, 0u) << "no control window titled " << control_title;
    ASSERT_TRUE(wait_until([&] { return grab() && shows_start(shown); }, 5000))
        << "the grid window never showed its first picture: " << shows_start(shown).message();
}

void OutOfProcessViewer::TearDown()
{
    stop_program(pid);
    if (display != nullptr)
        XCloseDisplay(display);
}

bool OutOfProcessViewer::grab()
{
    return grab_picture(display, grid, &shown);
}

void OutOfProcessViewer::expect_windows_in_place()
{
    window_info info;
    ASSERT_TRUE(get_window_info(display, grid, &info));
    EXPECT_EQ(info.width, 300);
    EXPECT_EQ(info.height, 300);
    ASSERT_TRUE(get_window_info(display, controls, &info));
    EXPECT_EQ(info.root_x, 475);
    EXPECT_EQ(info.root_y, 100);
}
