// SPDX-License-Identifier: MIT
// spingrid: a 50 x 50 periodic lattice of +1/-1 spins advanced by Metropolis
// sweeps. A left press in the grid window runs 100 sweeps 100 ms apart, a
// right press runs one; the control window sets the temperature (1..4).
#include "spingrid/viewer.h"

#include <GL/freeglut.h>

int main(int argc, char **argv)
{
    start_spingrid(&argc, argv);
    glutMainLoop();
    return 0;
}
