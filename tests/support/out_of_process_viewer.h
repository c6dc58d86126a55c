// SPDX-License-Identifier: MIT
// A test fixture that starts a real viewer program as a child process on the
// X server and finds its grid and control windows, so that a test can press
// in the grid and read back what the program shows. Each case starts the
// program afresh and ends it in TearDown.
#pragma once

// gtest before Xlib, whose macros None and Bool would break gtest's headers.
#include <gtest/gtest.h>

#include "tests/support/x11_harness.h"

#include <functional>

class OutOfProcessViewer : public ::testing::Test {
  protected:
    // Starts path (its grid window is titled path), waits for its grid
    // window and the control window titled control_title, then up to 5 s
    // for the grid window to show a picture that shows_start accepts. Fails
    // the test on the way, saying what was missing.
    void
    start_viewer(const char *path, const char *control_title,
                 const std::function<::testing::AssertionResult(const picture &)> &shows_start);

    void TearDown() override;

    // Reads the grid window into shown; false when it cannot be read.
    bool grab();

    // Presses and releases button (1 left, 2 middle, 3 right) mid-grid.
    void press_in_grid(unsigned button) { ASSERT_TRUE(click_centre(display, grid, button)); }

    // Checks where the windows are: the grid window at GLUT's default
    // 300 x 300 (the viewers ask for no size) and the control window's
    // top-left corner at (475, 100) on the screen, where the viewers ask.
    void expect_windows_in_place();

    Display *display = nullptr;
    pid_t pid = -1;
    Window grid = 0;
    Window controls = 0;
    picture shown;
};
