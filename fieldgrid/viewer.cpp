// SPDX-License-Identifier: MIT
#include "fieldgrid/viewer.h"

#include "common/grid_view.h"
#include "fieldgrid/field_state.h"
#include "fieldgrid/spectral_step.h"
#include "glui/glui.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <ctime>

int main_window = 0;
GLUI *control_window = nullptr;

void draw_field()
{
    double s = 2.0 / (grid_size + 2.0);
    glClear(GL_COLOR_BUFFER_BIT);
    // As in randomize_field, the array's own bound keeps a larger grid_size
    // from reading past display_grid.
    for (int i = 0; static_cast<double>(i) < grid_size && i < grid_side; i++)
        for (int j = 0; static_cast<double>(j) < grid_size && j < grid_side; j++) {
            double v = display_grid[i][j];
            double u = v < -1.0 ? -1.0 : v > 1.0 ? 1.0 : v;
            draw_cell(i, j, s, (u + 1.0) / 2.0);
        }
    glFlush();
}

void on_mouse(int button, int state, int, int)
{
    if (state != GLUT_DOWN)
        return;
    if (button == GLUT_LEFT_BUTTON)
        schedule_burst(500, 100);
    else if (button == GLUT_RIGHT_BUTTON)
        advance_one_step(0);
}

void schedule_burst(int count, int interval)
{
    for (int k = 1; k <= count; k++)
        glutTimerFunc(k * interval, advance_one_step, 0);
}

void set_background()
{
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
}

void create_controls()
{
    control_window = GLUI_Master.create_glui("alpha", 0, 475, 100);
    control_window->set_main_gfx_window(main_window);
    GLUI_Spinner *spinner = control_window->add_spinner("alpha", GLUI_SPINNER_FLOAT, &alpha, -1);
    spinner->set_int_limits(1, 4, GLUI_LIMIT_CLAMP);
}

// A timer callback runs with no defined current window, so a step names the
// grid window when it asks for a redraw: every step's field gets drawn.
static void redisplay_grid()
{
    glutPostWindowRedisplay(main_window);
}

void start_fieldgrid(int *argc, char **argv)
{
    srand(static_cast<unsigned int>(time(nullptr)));
    randomize_field();
    grid_to_field(field_re);
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    main_window = glutCreateWindow(argv[0]);
    request_redisplay = redisplay_grid;
    glutDisplayFunc(draw_field);
    glutMouseFunc(on_mouse);
    set_background();
    create_controls();
}
