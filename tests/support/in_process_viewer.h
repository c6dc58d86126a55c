// SPDX-License-Identifier: MIT
// A test fixture that runs a viewer's start-up inside the test process
// against the X server, so that a test can read the live model while real key
// and mouse events, sent through a second X connection, reach the viewer's
// grid and control windows. GLUT starts once per process: ctest runs every
// case in its own process.
#pragma once

// gtest before Xlib, whose macros None and Bool would break gtest's headers.
#include <gtest/gtest.h>

#include "tests/support/x11_harness.h"

#include <string>

class InProcessViewer : public ::testing::Test {
  protected:
    // Runs start (start_spingrid or start_fieldgrid) with the grid window
    // titled title, then finds both windows and the spinner. Fails the test
    // (or skips it, when GLUT already ran in this process) on the way.
    void start_viewer(void (*start)(int *, char **), const char *title, const char *control_title);

    void TearDown() override;

    // Lets GLUT handle what is pending; the waits call it between polls.
    static void pump();

    // Clicks the middle of a box of the control window.
    void click_box(const box &b) { ::click_box(display, controls, b, 1, pump); }

    // Clicks into the text field, which selects its text, and types text.
    void type_into_field(const std::string &text);

    // Presses and releases button (1 left, 2 middle, 3 right) mid-grid.
    void press_in_grid(unsigned button) { ASSERT_TRUE(click_centre(display, grid, button, pump)); }

    // One wheel notch (up: +1, down: -1) with the pointer in the middle of b.
    void wheel_over(const box &b, int notch)
    {
        ::click_box(display, controls, b, notch > 0 ? 4 : 5, pump);
    }

    // Presses and releases key with modifier (a keysym such as XK_Control_L) held.
    void chord(unsigned long modifier, unsigned long key);

    // The field's pixels once they hold still, with the pointer moved off the
    // spinner, so that pictures taken after different input can be compared.
    picture settled_field();

    Display *display = nullptr;
    Window grid = 0;
    Window controls = 0;
    box field, minus, plus;
};
