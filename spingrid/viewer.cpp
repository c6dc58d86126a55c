// SPDX-License-Identifier: MIT
#include "spingrid/viewer.h"

#include "common/grid_view.h"
#include "glui/glui.h"
#include "spingrid/lattice.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <ctime>

int main_window = 0;
GLUI *control_window = nullptr;

void draw_spins()
{
    double s = 2.0 / (lattice_size + 2);
    glClear(GL_COLOR_BUFFER_BIT);
    for (int i = 0; i < lattice_size; i++)
        for (int j = 0; j < lattice_size; j++)
            // (spin + 1) / 2 in integers: 0 for a -1 spin, 1 for a +1 spin.
            draw_cell(i, j, s, static_cast<double>((spins[i][j] + 1) / 2));
    glFlush();
}

void on_mouse(int button, int state, int, int)
{
    if (state != GLUT_DOWN)
        return;
    if (button == GLUT_LEFT_BUTTON) {
        schedule_burst(100, 100);
    } else if (button == GLUT_RIGHT_BUTTON) {
        metropolis_sweep(temperature);
        glutPostWindowRedisplay(main_window);
    }
}

void schedule_burst(int count, int interval)
{
    for (int k = 1; k <= count; k++)
        glutTimerFunc(k * interval, timer_sweep, temperature);
}

void timer_sweep(int value)
{
    metropolis_sweep(value);
    // GLUT makes no window current for a timer; name the grid window so the
    // sweep is shown even when the control window was current last.
    glutPostWindowRedisplay(main_window);
}

void set_background()
{
    glClearColor(1.0, 1.0, 1.0, 1.0);
}

void create_controls()
{
    control_window = GLUI_Master.create_glui("Temperature", 0, 475, 100);
    control_window->set_main_gfx_window(main_window);
    GLUI_Spinner *spinner =
        control_window->add_spinner("Temperature", GLUI_SPINNER_INT, &temperature, -1);
    spinner->set_int_limits(1, 4, GLUI_LIMIT_CLAMP);
}

void start_spingrid(int *argc, char **argv)
{
    srand(static_cast<unsigned int>(time(nullptr)));
    randomize_spins();
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    main_window = glutCreateWindow(argv[0]);
    glutDisplayFunc(draw_spins);
    glutMouseFunc(on_mouse);
    set_background();
    create_controls();
}
