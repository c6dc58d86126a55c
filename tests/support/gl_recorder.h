// SPDX-License-Identifier: MIT
// A recording stand-in for the few GL calls the viewers' callbacks make.
// Linking gl_recorder.cpp into a test puts these definitions ahead of the
// shared libGL ones, so a display, mouse or timer callback can run without
// any window and its calls can be checked exactly; glut_fake.cpp, linked
// with it, records the GLUT timers and redisplay requests here too.
#pragma once

#include <gtest/gtest.h>

#include <vector>

struct recorded_polygon {
    unsigned mode; // the glBegin argument
    double red, green, blue;
    std::vector<double> xy; // x0, y0, x1, y1, ... in call order
};

struct recorded_timer {
    unsigned int delay_ms;
    void (*callback)(int);
    int value;
};

struct gl_record {
    int clears = 0;
    unsigned clear_mask = 0;
    int flushes = 0;
    float clear_colour[4] = {-1, -1, -1, -1};
    std::vector<recorded_polygon> polygons;
    std::vector<recorded_timer> timers;
    std::vector<int> redisplays; // window named, or 0 for the current one
    int unbalanced = 0;          // glBegin without glEnd, or the reverse
};

extern gl_record recorded;

// Forgets everything recorded so far.
void clear_record();

// Checks that the record is one frame of an n x n grid view: one clear of the
// colour buffer, n * n balanced GL_POLYGONs for cells (i, j) in that order (i
// outer) with the exact corners ((i+1)s - 1, (j+1)s - 1) .. ((i+2)s - 1,
// (j+2)s - 1), s = 2 / (n + 2), counter-clockwise from the lower left, green
// and blue 0, and one flush. Each polygon's red is left to the caller.
::testing::AssertionResult is_grid_frame(int n);
