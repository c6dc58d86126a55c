// SPDX-License-Identifier: MIT
// spingrid's caption numbers (see page_exports.h). The lattice keeps no
// count of its sweeps, so the page counts them here: the linker sends the
// viewer's calls of metropolis_sweep through counted_sweep (--wrap), which
// notes the sweep and its temperature and runs the real one.
#include "spingrid/lattice.h"
#include "web/page_exports.h"

#include <emscripten/emscripten.h>

// The C++ names of metropolis_sweep as the linker's --wrap renames them.
void real_metropolis_sweep(int T) __asm__("__real__Z16metropolis_sweepi");
void counted_sweep(int T) __asm__("__wrap__Z16metropolis_sweepi");

static double sweeps = 0;
static int last_temperature = 0;
static double numbers[caption_numbers];

void counted_sweep(int T)
{
    real_metropolis_sweep(T);
    sweeps += 1;
    last_temperature = T;
    tell_page_of_step();
}

extern "C" EMSCRIPTEN_KEEPALIVE double *web_caption_numbers()
{
    int up = 0;
    int sum = 0;
    for (int i = 0; i < lattice_size; i++)
        for (int j = 0; j < lattice_size; j++) {
            up += spins[i][j] > 0;
            sum += spins[i][j];
        }
    const int cells = lattice_size * lattice_size;
    numbers[0] = sweeps;
    numbers[1] = last_temperature;
    numbers[2] = up;
    numbers[3] = cells;
    numbers[4] = cells > 0 ? static_cast<double>(sum) / cells : 0.0;
    return numbers;
}
