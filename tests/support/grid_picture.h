// SPDX-License-Identifier: MIT
// What the viewers' grid windows look like: where a pixel falls in an n x n
// grid view and how to read the cells' colours back from a picture of one.
// The geometry is the viewers' own (common/grid_view.h): the window spans
// -1..1 on both axes, cells are 2/(n+2) wide, a margin one cell wide
// surrounds them, cell (i, j) counts i left to right and j bottom to top.
// Nothing here talks to an X server.
#pragma once

// gtest before anything that may pull in Xlib, whose macros break it.
#include <gtest/gtest.h>

#include "tests/support/picture.h"

#include <cstdint>
#include <vector>

enum grid_part {
    grid_cell,   // inside cell (i, j), at least a pixel from its edges
    grid_margin, // in the margin, at least a pixel from the cells
    grid_edge,   // within a pixel of an edge: either colour is right
};

// The part of an n x n grid view in a width x height window that pixel
// (x, y) (from the top-left) falls in; sets *i and *j for grid_cell.
grid_part grid_part_at(int n, int width, int height, int x, int y, int *i, int *j);

// The pixel at the centre of cell (i, j) of that grid view.
void grid_cell_centre(int n, int width, int height, int i, int j, int *x, int *y);

// Reads p as an n x n grid view in a white margin: fails, saying where, when
// p is empty, a margin pixel is not white, or a cell is not one solid colour
// (pixels within a pixel of an edge, and those off screen, are not judged).
// On success colours[i * n + j] is the colour of cell (i, j), read at its
// centre pixel.
::testing::AssertionResult read_grid(const picture &p, int n, std::vector<std::uint32_t> *colours);
