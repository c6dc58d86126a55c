// SPDX-License-Identifier: MIT
// spingrid's part of the page exports (see test_hooks.h).
#include "spingrid/lattice.h"
#include "spingrid/viewer.h"
#include "tests/web/site/scripted_run.h"
#include "tests/web/site/test_hooks.h"

#include <GL/freeglut.h>
#include <emscripten/emscripten.h>

extern "C" {

EMSCRIPTEN_KEEPALIVE int *web_spin_run(unsigned int seed, int sweeps, int T)
{
    scripted_spin_run(seed, sweeps, T);
    glutPostRedisplay();
    return &spins[0][0];
}

EMSCRIPTEN_KEEPALIVE int *web_spins()
{
    return &spins[0][0];
}

EMSCRIPTEN_KEEPALIVE int web_temperature()
{
    return temperature;
}

EMSCRIPTEN_KEEPALIVE double web_time_sweeps(int count, int T)
{
    return time_sweeps(count, T);
}

EMSCRIPTEN_KEEPALIVE const double *web_time_recorded(int count)
{
    return time_recorded(count, metropolis_sweep, 1);
}

EMSCRIPTEN_KEEPALIVE double web_time_draw(int count)
{
    return time_frames(count, draw_spins);
}
}
