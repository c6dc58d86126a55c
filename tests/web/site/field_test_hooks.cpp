// SPDX-License-Identifier: MIT
// fieldgrid's part of the page exports (see test_hooks.h).
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"
#include "fieldgrid/viewer.h"
#include "tests/web/site/scripted_run.h"
#include "tests/web/site/test_hooks.h"

#include <GL/freeglut.h>
#include <emscripten/emscripten.h>

extern "C" {

EMSCRIPTEN_KEEPALIVE double *web_field_run(unsigned int seed, int first_steps, float new_alpha,
                                           int more_steps)
{
    scripted_field_run(seed, first_steps, new_alpha, more_steps);
    glutPostRedisplay();
    return field_re;
}

EMSCRIPTEN_KEEPALIVE double *web_field()
{
    return field_re;
}

EMSCRIPTEN_KEEPALIVE int web_step_count()
{
    return step_count;
}

EMSCRIPTEN_KEEPALIVE float web_alpha()
{
    return alpha;
}

EMSCRIPTEN_KEEPALIVE double web_time_steps(int count)
{
    return time_field_steps(count);
}

EMSCRIPTEN_KEEPALIVE const double *web_time_recorded(int count)
{
    return time_recorded(count, advance_one_step, 0);
}

EMSCRIPTEN_KEEPALIVE double web_time_draw(int count)
{
    return time_frames(count, draw_field);
}
}
