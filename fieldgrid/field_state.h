// SPDX-License-Identifier: MIT
// The state of the field program: model parameters, the field in real and in
// Fourier space, the grid the viewer draws, and the step counter.
//
// The grid is grid_side x grid_side (64 x 64) and periodic; cell (i, j)
// lives at flat index i * grid_side + j, i horizontal (left to right), j
// vertical (bottom to top) on screen. Every array is a static global, zero at
// start unless a default is given.
#pragma once

#include "fieldgrid/grid_shape.h"

// Time step; the simulated time at the start of a step is step_count * dt.
extern double dt;
// Constant part of the linear rate and coefficient of the cubic term. Single
// precision because the spinner writes a float; widened at each use. Kept
// within 1.0 .. 4.0 by the spinner, and may change between steps.
extern float alpha;
// Coefficient of |k|^2 in the linear rate (2.0).
extern double stiffness;
// Coefficient of (4 - 2 pi |k|) in the linear rate (2/pi).
extern double range_coeff;
// Source fed into the k = 0 mode: feed_level - feed_decay * t while positive
// (1.5 and 0.01, so it stops at t = 150).
extern double feed_level;
extern double feed_decay;
// Cells per side as a double (64.0): loop bound of the initial fill and of the
// display. The arrays below are fixed at grid_side x grid_side whatever it
// says.
extern double grid_size;

// Real and imaginary parts of the field in real space; field_re carries the
// field from step to step, field_im is zeroed at the start of each step.
extern double field_re[grid_cells];
extern double field_im[grid_cells];
// Real and imaginary parts of its Fourier coefficients, same flat layout.
extern double spec_re[grid_cells];
extern double spec_im[grid_cells];
// What the display callback draws; cell (i, j) is display_grid[i][j].
extern double display_grid[grid_side][grid_side];
// Steps taken so far; raised by one per advance_one_step.
extern int step_count;

// Fills display_grid with the initial condition 1 + 0.1 * r / 32767.0, one
// random_draw() r per cell in row-major order, so every value lies in
// [1.0, 1.1]. The caller seeds the generator (srand).
void randomize_field();

// dst[k] = display_grid[k / 64][k % 64] for k = 0 .. 4095. dst: grid_cells
// doubles.
void grid_to_field(double *dst);

// display_grid[i][j] = src[i*64 + j] for all 64 x 64 cells. src: grid_cells
// doubles.
void field_to_grid(const double *src);
