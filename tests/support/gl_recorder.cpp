// SPDX-License-Identifier: MIT
#include "tests/support/gl_recorder.h"

#include <GL/freeglut.h>

gl_record recorded;

namespace {
double colour[3];
bool inside = false;
} // namespace

::testing::AssertionResult is_grid_frame(int n)
{
    if (recorded.clears != 1 || recorded.clear_mask != GL_COLOR_BUFFER_BIT)
        return ::testing::AssertionFailure()
               << recorded.clears << " clears, mask " << recorded.clear_mask;
    if (recorded.flushes != 1 || recorded.unbalanced != 0)
        return ::testing::AssertionFailure() << recorded.flushes << " flushes, "
                                             << recorded.unbalanced << " unbalanced glBegin/glEnd";
    if (recorded.polygons.size() != size_t(n) * n)
        return ::testing::AssertionFailure() << recorded.polygons.size() << " polygons";
    const double s = 2.0 / (n + 2);
    size_t k = 0;
    for (int i = 0; i < n; i++)
        for (int j = 0; j < n; j++, k++) {
            const recorded_polygon &p = recorded.polygons[k];
            const double want[8] = {(i + 1) * s - 1, (j + 1) * s - 1, (i + 2) * s - 1,
                                    (j + 1) * s - 1, (i + 2) * s - 1, (j + 2) * s - 1,
                                    (i + 1) * s - 1, (j + 2) * s - 1};
            if (p.mode != GL_POLYGON || p.xy.size() != 8 || p.green != 0.0 || p.blue != 0.0)
                return ::testing::AssertionFailure()
                       << "cell " << i << "," << j << ": not a four-corner red polygon";
            for (int v = 0; v < 8; v++)
                if (p.xy[v] != want[v])
                    return ::testing::AssertionFailure()
                           << "cell " << i << "," << j << " coordinate " << v << " is " << p.xy[v]
                           << ", not " << want[v];
        }
    return ::testing::AssertionSuccess();
}

void clear_record()
{
    recorded = gl_record();
    inside = false;
}

extern "C" {

void glClear(GLbitfield mask)
{
    recorded.clears++;
    recorded.clear_mask = mask;
}

void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    recorded.clear_colour[0] = r;
    recorded.clear_colour[1] = g;
    recorded.clear_colour[2] = b;
    recorded.clear_colour[3] = a;
}

void glFlush()
{
    recorded.flushes++;
}

void glBegin(GLenum mode)
{
    if (inside)
        recorded.unbalanced++;
    inside = true;
    recorded.polygons.push_back({mode, colour[0], colour[1], colour[2], {}});
}

void glEnd()
{
    if (!inside)
        recorded.unbalanced++;
    inside = false;
}

void glColor3d(GLdouble r, GLdouble g, GLdouble b)
{
    colour[0] = r;
    colour[1] = g;
    colour[2] = b;
    if (inside) {
        recorded.polygons.back().red = r;
        recorded.polygons.back().green = g;
        recorded.polygons.back().blue = b;
    }
}

void glVertex2d(GLdouble x, GLdouble y)
{
    if (inside) {
        recorded.polygons.back().xy.push_back(x);
        recorded.polygons.back().xy.push_back(y);
    }
}

} // extern "C"
