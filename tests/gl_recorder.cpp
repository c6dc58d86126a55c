#include "tests/gl_recorder.h"

#include <GL/freeglut.h>

gl_record recorded;

namespace {
double colour[3];
bool inside = false;
} // namespace

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

} // extern "C"
