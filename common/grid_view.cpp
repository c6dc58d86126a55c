// SPDX-License-Identifier: MIT
#include "common/grid_view.h"

#include <GL/gl.h>

void draw_cell(int i, int j, double s, double red)
{
    const double left = static_cast<double>(i + 1) * s - 1;
    const double right = static_cast<double>(i + 2) * s - 1;
    const double bottom = static_cast<double>(j + 1) * s - 1;
    const double top = static_cast<double>(j + 2) * s - 1;
    glBegin(GL_POLYGON);
    glColor3d(red, 0.0, 0.0);
    glVertex2d(left, bottom);
    glVertex2d(right, bottom);
    glVertex2d(right, top);
    glVertex2d(left, top);
    glEnd();
}
