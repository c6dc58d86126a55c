// SPDX-License-Identifier: MIT
#include "web/page/page_exports.h"

#include "common/colour_scales.h"
#include "measure/run_record.h"
#include "web/page/page_description.h"
#include "web/page/run_steps.h"
#include "web/platform/gl_stand_in.h"
#include "web/platform/glut_timers.h"

#include <GL/freeglut.h>
#include <emscripten/emscripten.h>

#include <algorithm>

// In page_events.js, beside step_taken (run_steps.h): tells the page's
// handler that a burst's timer was set.
extern "C" void burst_timer_set();

static double row_buffer[web_rows_max_count * record_max_columns];
static double snapshot[web_snapshot_head + record_max_columns + 64];
static double constants[64];

constexpr int picture_side_max = 64 + 2;
static unsigned char picture[picture_side_max * picture_side_max * 3];

extern "C" {

EMSCRIPTEN_KEEPALIVE void web_start_run(unsigned int seed)
{
    glut_timer_runner = page_timer;
    glut_timer_set = burst_timer_set;
    start_run(seed);
    glutPostRedisplay();
}

EMSCRIPTEN_KEEPALIVE const double *web_run_snapshot()
{
    double *head = snapshot;
    head[0] = static_cast<double>(record_steps());
    head[1] = static_cast<double>(record_held());
    head[2] = static_cast<double>(record_whole_from());
    head[3] = static_cast<double>(record_stride());
    head[4] = glut_timers_pending();
    head[5] = run_seed();
    double *now = head + web_snapshot_head;
    run_now(now);
    page_summary(now, now + this_page.columns.count);
    return snapshot;
}

EMSCRIPTEN_KEEPALIVE const double *web_run_constants()
{
    constant_values(constants);
    return constants;
}

EMSCRIPTEN_KEEPALIVE const double *web_second_plot()
{
    static double rows[1 + 64 * record_max_columns];
    rows[0] = second_plot_rows(rows + 1, 64);
    return rows;
}

EMSCRIPTEN_KEEPALIVE const char *web_second_plot_file()
{
    return second_plot_file();
}

EMSCRIPTEN_KEEPALIVE int web_rows_max()
{
    return web_rows_max_count;
}

EMSCRIPTEN_KEEPALIVE int web_run_rows(double first, int count)
{
    const long from = std::max(0L, static_cast<long>(first));
    const long to = std::min(record_held(), from + std::clamp(count, 0, web_rows_max_count));
    for (long k = from; k < to; k++)
        std::copy_n(record_held_row(k), this_page.columns.count,
                    &row_buffer[(k - from) * this_page.columns.count]);
    return static_cast<int>(std::max(0L, to - from));
}

EMSCRIPTEN_KEEPALIVE int web_run_sample(int count)
{
    return static_cast<int>(run_sample(std::clamp(count, 0, web_rows_max_count), row_buffer));
}

EMSCRIPTEN_KEEPALIVE const double *web_row_buffer()
{
    return row_buffer;
}

EMSCRIPTEN_KEEPALIVE int web_timers_pending()
{
    return glut_timers_pending();
}

EMSCRIPTEN_KEEPALIVE int web_picture_side()
{
    return grid_cells_per_side + 2;
}

EMSCRIPTEN_KEEPALIVE const unsigned char *web_picture()
{
    // The viewer draws its grid as it would on the canvas, cell (i, j) the
    // (i N + j)-th polygon, i left to right and j bottom to top; the stand-in
    // hands over each cell's colour instead of drawing.
    const int n = grid_cells_per_side;
    const int side = n + 2;
    static unsigned char cells[64 * 64 * 3];
    gl_stand_in_capture(cells, n * n);
    viewer_display();
    const int drawn = gl_stand_in_captured();
    std::fill(picture, picture + side * side * 3, 255);
    for (int i = 0; i < n; i++)
        for (int j = 0; j < n && i * n + j < drawn; j++)
            std::copy_n(&cells[3 * (i * n + j)], 3, &picture[3 * ((n - j) * side + i + 1)]);
    return picture;
}

static unsigned char colour_tables[8][768];

EMSCRIPTEN_KEEPALIVE const unsigned char *web_colour_table(int scale)
{
    const int k = std::clamp(scale, 0, std::min(colour_scale_count, 8) - 1);
    colour_scale_table(k, colour_tables[k]);
    return colour_tables[k];
}

EMSCRIPTEN_KEEPALIVE void web_colour_scale(int scale)
{
    // The design's own colours need no table: the viewers' reds as they are.
    gl_stand_in_recolour(scale > 0 && scale < colour_scale_count ? web_colour_table(scale)
                                                                 : nullptr);
    glutPostRedisplay();
}

EMSCRIPTEN_KEEPALIVE void web_redisplay()
{
    glutPostRedisplay();
}
}
