// SPDX-License-Identifier: MIT
// <GL/freeglut.h> for the web build. Emscripten's GLUT ships the standard
// GLUT header only; the viewers include freeglut's and call one freeglut
// extension, declared here and defined in glut_shims.cpp.
#pragma once

#include <GL/glut.h>

#ifdef __cplusplus
extern "C" {
#endif

// Asks for a redraw of window `window`. A page has one canvas, so this is
// glutPostRedisplay() whatever the number.
void glutPostWindowRedisplay(int window);

#ifdef __cplusplus
}
#endif
