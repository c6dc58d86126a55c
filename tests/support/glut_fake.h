// SPDX-License-Identifier: MIT
// A stand-in for every GLUT call the viewers and the control window make, so
// that their callbacks run without a window system. Linking glut_fake.cpp
// into a program puts these definitions ahead of the shared libglut's (the
// program's own symbols win), together with gl_recorder.cpp, whose record
// the timers and redisplay requests go to.
//
// Windows are only numbers here: glutCreateWindow gives glut_fake_window and
// makes it current, and glutSetWindow sets what glutGetWindow reports, so a
// test chooses which window an event seems to come from. The callbacks a
// window registers are kept in glut_fake for the test to call as GLUT would.
// glutGet answers 0 to every query; the rest does nothing.
#pragma once

// The number glutCreateWindow gives; the viewers' tests number their grid
// windows otherwise (1, 3, 7).
constexpr int glut_fake_window = 5;

struct glut_fake_state {
    int current_window = 0; // glutGetWindow's answer
    int modifiers = 0;      // glutGetModifiers' answer: GLUT_ACTIVE_SHIFT | _CTRL | _ALT
    void (*mouse)(int button, int state, int x, int y) = nullptr;
    void (*motion)(int x, int y) = nullptr;
    void (*passive_motion)(int x, int y) = nullptr;
    void (*entry)(int state) = nullptr;
    void (*wheel)(int wheel, int direction, int x, int y) = nullptr;
    void (*key)(unsigned char key, int x, int y) = nullptr;
    void (*key_up)(unsigned char key, int x, int y) = nullptr;
    void (*special)(int key, int x, int y) = nullptr;
    void (*special_up)(int key, int x, int y) = nullptr;
};

extern glut_fake_state glut_fake;
