// SPDX-License-Identifier: MIT
#include "tests/support/glut_fake.h"
#include "tests/support/gl_recorder.h"

#include <GL/freeglut.h>
#include <GL/glx.h>

glut_fake_state glut_fake;

extern "C" {

int glutGetWindow()
{
    return glut_fake.current_window;
}

void glutSetWindow(int window)
{
    glut_fake.current_window = window;
}

int glutGet(GLenum)
{
    return 0;
}

void glutInitDisplayMode(unsigned int) {}
void glutInitWindowPosition(int, int) {}
void glutInitWindowSize(int, int) {}
void glutReshapeWindow(int, int) {}
void glutDisplayFunc(void (*)()) {}
void glutReshapeFunc(void (*)(int, int)) {}

int glutCreateWindow(const char *)
{
    glut_fake.current_window = glut_fake_window;
    return glut_fake_window;
}

void glutMouseFunc(void (*callback)(int, int, int, int))
{
    glut_fake.mouse = callback;
}

void glutMotionFunc(void (*callback)(int, int))
{
    glut_fake.motion = callback;
}

void glutPassiveMotionFunc(void (*callback)(int, int))
{
    glut_fake.passive_motion = callback;
}

void glutEntryFunc(void (*callback)(int))
{
    glut_fake.entry = callback;
}

void glutMouseWheelFunc(void (*callback)(int, int, int, int))
{
    glut_fake.wheel = callback;
}

void glutKeyboardFunc(void (*callback)(unsigned char, int, int))
{
    glut_fake.key = callback;
}

void glutKeyboardUpFunc(void (*callback)(unsigned char, int, int))
{
    glut_fake.key_up = callback;
}

void glutSpecialFunc(void (*callback)(int, int, int))
{
    glut_fake.special = callback;
}

void glutSpecialUpFunc(void (*callback)(int, int, int))
{
    glut_fake.special_up = callback;
}

int glutGetModifiers()
{
    return glut_fake.modifiers;
}

void glutTimerFunc(unsigned int delay_ms, void (*callback)(int), int value)
{
    recorded.timers.push_back({delay_ms, callback, value});
}

void glutPostRedisplay()
{
    recorded.redisplays.push_back(0);
}

void glutPostWindowRedisplay(int window)
{
    recorded.redisplays.push_back(window);
}

// The control window reads the screen's density through GLUT's display;
// without one it keeps the normal density.
Display *glXGetCurrentDisplay()
{
    return nullptr;
}

} // extern "C"
