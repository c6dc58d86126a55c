// SPDX-License-Identifier: MIT
#include "glui/core/spinner_table.h"

#include "glui/core/spinner_value.h"

#include <cstdio>
#include <cstring>

glui_window_row glui_windows[max_control_windows];
int glui_window_count = 0;
glui_spinner_row glui_spinners[max_spinners];
int glui_spinner_count = 0;

void (*request_main_redisplay)(int main_gfx_window) = post_main_redisplay;

int add_window_row(const char *name)
{
    if (glui_window_count == max_control_windows)
        return -1;
    int w = glui_window_count++;
    glui_window_row &row = glui_windows[w];
    row = glui_window_row();
    row.handle.slot = w;
    std::snprintf(row.name, sizeof row.name, "%s", name ? name : "");
    row.main_gfx_window = 0;
    return w;
}

int add_spinner_row(int window, const char *label, int data_type, void *live)
{
    if (glui_spinner_count == max_spinners || window < 0 || window >= glui_window_count ||
        live == nullptr || (data_type != GLUI_SPINNER_INT && data_type != GLUI_SPINNER_FLOAT))
        return -1;
    int s = glui_spinner_count++;
    glui_spinner_row &row = glui_spinners[s];
    row = glui_spinner_row();
    row.handle.slot = s;
    row.window = window;
    row.data_type = data_type;
    row.live = live;
    std::snprintf(row.label, sizeof row.label, "%s", label ? label : "");
    row.limit_type = GLUI_LIMIT_NONE;
    row.low = 0.0;
    row.high = 0.0;
    shown_spinner_text(s);
    add_spinner_widget(s);
    return s;
}

void set_spinner_limits(int spinner, double low, double high, int limit_type)
{
    glui_spinner_row &row = glui_spinners[spinner];
    if (low > high) {
        double t = low;
        low = high;
        high = t;
    }
    row.low = low;
    row.high = high;
    row.limit_type = limit_type;
    double v = live_spinner_value(spinner);
    if (limit_spinner_value(v, row.data_type, limit_type, low, high) != v)
        write_spinner_value(spinner, v);
    else
        show_spinner_value(spinner); // a page's spinner tells its range too
}

double live_spinner_value(int spinner)
{
    const glui_spinner_row &row = glui_spinners[spinner];
    if (row.data_type == GLUI_SPINNER_INT)
        return *static_cast<int *>(row.live);
    return static_cast<double>(*static_cast<float *>(row.live));
}

const char *shown_spinner_text(int spinner)
{
    glui_spinner_row &row = glui_spinners[spinner];
    format_spinner_value(live_spinner_value(spinner), row.data_type, row.shown, sizeof row.shown);
    return row.shown;
}

void write_spinner_value(int spinner, double value)
{
    glui_spinner_row &row = glui_spinners[spinner];
    double v = limit_spinner_value(value, row.data_type, row.limit_type, row.low, row.high);
    if (row.data_type == GLUI_SPINNER_INT)
        *static_cast<int *>(row.live) = static_cast<int>(v);
    else
        *static_cast<float *>(row.live) = static_cast<float>(v);
    shown_spinner_text(spinner);
    show_spinner_value(spinner);
    int main_gfx_window = glui_windows[row.window].main_gfx_window;
    if (main_gfx_window > 0 && request_main_redisplay != nullptr)
        request_main_redisplay(main_gfx_window);
}

bool commit_spinner_text(int spinner, const char *text)
{
    const glui_spinner_row &row = glui_spinners[spinner];
    double v = 0.0;
    if (!committed_spinner_value(text, row.data_type, row.limit_type, row.low, row.high, &v))
        return false;
    write_spinner_value(spinner, v);
    return true;
}

void step_spinner(int spinner, int steps)
{
    int direction = steps > 0 ? 1 : -1;
    for (int k = 0; k != steps; k += direction)
        write_spinner_value(spinner,
                            stepped_spinner_value(live_spinner_value(spinner),
                                                  glui_spinners[spinner].data_type, direction));
}

void leave_spinner_field(int spinner, const char *text, bool edited)
{
    if (edited)
        commit_spinner_text(spinner, text);
}

void step_spinner_field(int spinner, const char *text, bool edited, int steps)
{
    if (steps == 0)
        return;
    if (edited)
        commit_spinner_text(spinner, text);
    step_spinner(spinner, steps);
}

void clear_glui_tables()
{
    glui_window_count = 0;
    glui_spinner_count = 0;
}
