// SPDX-License-Identifier: MIT
#include "web/page_exports.h"

#include "web/gl_stand_in.h"

#include <GL/freeglut.h>
#include <emscripten/emscripten.h>

// clang-format off
EM_JS(void, call_page_on_step, (), {
    if (Module.onStep)
        Module.onStep();
});
// clang-format on

void tell_page_of_step()
{
    call_page_on_step();
}

extern "C" {

EMSCRIPTEN_KEEPALIVE void web_redisplay()
{
    glutPostRedisplay();
}

EMSCRIPTEN_KEEPALIVE void web_context_restored()
{
    gl_stand_in_context_restored();
    glutPostRedisplay();
}
}
