// SPDX-License-Identifier: MIT
// The size of the field's grid: 64 x 64 cells, periodic, cell (i, j) at flat
// index i * grid_side + j. The field arrays (field_state.h) and the FFT's
// 64 x 64 routines (fft.h) are made for this size; the double grid_size says
// the same for the loops that compare with it.
#pragma once

// Cells per side.
constexpr int grid_side = 64;
// Cells in the grid, the length of every field and spectrum array.
constexpr int grid_cells = grid_side * grid_side;
