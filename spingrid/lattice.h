// SPDX-License-Identifier: MIT
// The spin lattice: L x L spins of +1 or -1 with nearest-neighbour coupling 1,
// no field and periodic boundaries, advanced by Metropolis sweeps.
// Energies and temperatures are in units of the coupling (J = k_B = 1).
#pragma once

// The row stride of spins, and so the largest lattice it holds.
constexpr int lattice_max = 50;

// L, cells per side; 1..lattice_max (50). Starts at lattice_max.
extern int lattice_size;

// Temperature of the spinner (1..4); callers hand it to metropolis_sweep.
extern int temperature;

// Spin of cell (i, j), row i, column j; only the L x L block is used.
extern int spins[lattice_max][lattice_max];

// Fills the L x L block with +1 or -1, one draw per cell in row-major order:
// draws 0..16383 give -1, draws 16384..32767 give +1.
void randomize_spins();

// The energy change that flipping spin (i, j) would cause, 0 <= i, j < L:
// 2 * s(i, j) * (sum of its four periodic neighbours), one of -8, -4, 0, 4, 8.
int flip_energy(int i, int j);

// Sweeps run since start (or since a caller last set it to 0), counted by
// metropolis_sweep for whoever wants to know; the model itself never reads it.
extern long sweep_count;

// L*L Metropolis attempts at temperature T >= 1. Each takes three draws (row,
// column, threshold u = r / 32767.0) and flips when exp(-dE / T) >= u.
// Adds 1 to sweep_count.
void metropolis_sweep(int T);
