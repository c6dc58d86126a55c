// A recording stand-in for the few GL and GLUT calls the viewers' callbacks
// make. Linking gl_recorder.cpp into a test puts these definitions ahead of
// the shared libGL and libglut ones, so a display, mouse or timer callback can
// run without any window and its calls can be checked exactly.
#pragma once

#include <vector>

struct recorded_polygon {
    unsigned mode; // the glBegin argument
    double red, green, blue;
    std::vector<double> xy; // x0, y0, x1, y1, ... in call order
};

struct recorded_timer {
    unsigned int delay_ms;
    void (*callback)(int);
    int value;
};

struct gl_record {
    int clears = 0;
    unsigned clear_mask = 0;
    int flushes = 0;
    float clear_colour[4] = {-1, -1, -1, -1};
    std::vector<recorded_polygon> polygons;
    std::vector<recorded_timer> timers;
    std::vector<int> redisplays; // window named, or 0 for the current one
    int unbalanced = 0;          // glBegin without glEnd, or the reverse
};

extern gl_record recorded;

// Forgets everything recorded so far.
void clear_record();
