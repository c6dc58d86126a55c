// SPDX-License-Identifier: MIT
#include "tests/web/site/test_hooks.h"

#include "measure/run_record.h"
#include "web/page/page_description.h"
#include "web/page/run_steps.h"
#include "web/platform/gl_stand_in.h"

#include <GL/freeglut.h>

#include <emscripten/emscripten.h>
#include <emscripten/heap.h>

double time_frames(int count, void (*display)())
{
    double start = emscripten_get_now();
    // The page's own share: the frame made and handed over; the drawing
    // itself happens beside the page (webgl_draw.js).
    for (int k = 0; k < count; k++)
        display();
    return count > 0 ? (emscripten_get_now() - start) / count : 0.0;
}

const double *time_recorded(int count, void (*step)(int), int value)
{
    static double means[2];
    double alone = 0.0, recorded = 0.0;
    for (int k = 0; k < count; k++) {
        const double start = emscripten_get_now();
        step(value);
        const double middle = emscripten_get_now();
        page_timer(step, value);
        alone += middle - start;
        recorded += emscripten_get_now() - middle;
    }
    means[0] = count > 0 ? 1000.0 * alone / count : 0.0;
    means[1] = count > 0 ? 1000.0 * recorded / count : 0.0;
    return means;
}

extern "C" {

EMSCRIPTEN_KEEPALIVE void web_press(int button, int count)
{
    for (int k = 0; k < count; k++) {
        page_mouse(button, GLUT_DOWN, 0, 0);
        page_mouse(button, GLUT_UP, 0, 0);
    }
    glutPostRedisplay();
}

EMSCRIPTEN_KEEPALIVE double web_record_fill(double count)
{
    double row[record_max_columns];
    run_now(row);
    for (double k = 0; k < count; k++) {
        row[0] = static_cast<double>(record_steps() + 1);
        record_add(row);
    }
    return static_cast<double>(emscripten_get_heap_size());
}

EMSCRIPTEN_KEEPALIVE long web_frames()
{
    return gl_stand_in_draw_calls();
}

EMSCRIPTEN_KEEPALIVE long web_triangles()
{
    return gl_stand_in_triangles();
}
}
