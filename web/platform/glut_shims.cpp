// SPDX-License-Identifier: MIT
#include <GL/freeglut.h>

extern "C" void glutPostWindowRedisplay(int)
{
    // Emscripten's GLUT folds every request made before the next animation
    // frame into one call of the display callback, as freeglut does.
    glutPostRedisplay();
}
