// SPDX-License-Identifier: MIT
// fieldgrid: a real field on a 64 x 64 periodic grid advanced
// pseudo-spectrally. A left press in the grid window runs 500 steps 100 ms
// apart, a right press runs one; the control window sets alpha (1.0 .. 4.0).
#include "fieldgrid/viewer.h"

#include <GL/freeglut.h>

int main(int argc, char **argv)
{
    start_fieldgrid(&argc, argv);
    glutMainLoop();
    return 0;
}
