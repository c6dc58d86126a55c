// SPDX-License-Identifier: MIT
#include "web/test_hooks.h"

#include "web/gl_stand_in.h"

#include <emscripten/emscripten.h>
#include <webgl/webgl1.h>

double time_frames(int count, void (*display)())
{
    double start = emscripten_get_now();
    for (int k = 0; k < count; k++) {
        display();
        // Without it the time would be the queueing of the work alone.
        emscripten_glFinish();
    }
    return count > 0 ? (emscripten_get_now() - start) / count : 0.0;
}

extern "C" {

EMSCRIPTEN_KEEPALIVE long web_frames()
{
    return gl_stand_in_draw_calls();
}

EMSCRIPTEN_KEEPALIVE long web_triangles()
{
    return gl_stand_in_triangles();
}
}
