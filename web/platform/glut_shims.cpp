// SPDX-License-Identifier: MIT
#include <GL/freeglut.h>

extern "C" void glutPostWindowRedisplay(int)
{
    // Emscripten's GLUT folds every request made before the next animation
    // frame into one call of the display callback, as freeglut does.
    glutPostRedisplay();
}

extern "C" int glutCreateWindow(const char *)
{
    // The page owns the canvas and draws on it beside the module
    // (webgl_draw.js): the window needs no WebGL context here.
    return 1;
}
