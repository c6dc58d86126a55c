// SPDX-License-Identifier: MIT
#include "spingrid/lattice.h"

#include "common/random_draw.h"

#include <cmath>

int lattice_size = lattice_max;
int temperature = 1;
int spins[lattice_max][lattice_max];
long sweep_count = 0;

void randomize_spins()
{
    for (int i = 0; i < lattice_size; i++)
        for (int j = 0; j < lattice_size; j++) {
            double u = random_draw() / static_cast<double>(random_draw_max);
            spins[i][j] = u <= 0.5 ? -1 : 1;
        }
}

int flip_energy(int i, int j)
{
    const int last = lattice_size - 1;
    int up = i == 0 ? spins[last][j] : spins[i - 1][j];
    int down = i == last ? spins[0][j] : spins[i + 1][j];
    int right = j == last ? spins[i][0] : spins[i][j + 1];
    int left = j == 0 ? spins[i][last] : spins[i][j - 1];
    return 2 * spins[i][j] * (up + down + right + left);
}

void metropolis_sweep(int T)
{
    for (int k = 0; k < lattice_size * lattice_size; k++) {
        int i = random_draw() % lattice_size;
        int j = random_draw() % lattice_size;
        double u = random_draw() / static_cast<double>(random_draw_max);
        // Floating-point division: at T = 3 a cost of 4 must be weighed with
        // exp(-4/3), not with the exp(-1) an integer quotient would give.
        double x = -static_cast<double>(flip_energy(i, j)) / static_cast<double>(T);
        if (std::exp(x) >= u)
            spins[i][j] = -spins[i][j];
    }
    sweep_count++;
}
