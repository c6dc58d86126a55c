// SPDX-License-Identifier: MIT
// Drawing one cell of a grid view. Both viewers draw an N x N grid in
// OpenGL's default coordinates, where the window spans -1..1 on both axes:
// with s = 2 / (N + 2), cell (i, j) is the square from ((i+1)s - 1, (j+1)s - 1)
// to ((i+2)s - 1, (j+2)s - 1), so a margin one cell wide stays free on every
// side; i runs left to right and j bottom to top.
#pragma once

// Draws cell (i, j) of a view with cell size s as one filled GL_POLYGON of
// colour (red, 0, 0), its corners counter-clockwise from the lower left.
// Needs a current GL context; the caller clears and flushes.
void draw_cell(int i, int j, double s, double red);
