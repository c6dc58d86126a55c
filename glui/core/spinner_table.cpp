// SPDX-License-Identifier: MIT
// GLUI's entry points, each a thin call into the tables of windows and
// spinners and, for what shows on the screen, the backend's hooks; and the
// one path by which a spinner writes its live variable.
#include "glui/core/spinner_table.h"

#include "glui/core/spinner_value.h"

#include <cstdio>

GLUI_Master_Object GLUI_Master;
glui_window_row glui_windows[max_control_windows];
int glui_window_count = 0;
glui_spinner_row glui_spinners[max_spinners];
int glui_spinner_count = 0;

namespace {

GLUI unusable_window = {-1};
GLUI_Spinner unusable_spinner = {-1};

// The only writer of live variables.
void write_spinner_value(int spinner, double value)
{
    glui_spinner_row &row = glui_spinners[spinner];
    double v = limit_spinner_value(value, row.data_type, row.limit_type, row.low, row.high);
    if (row.data_type == GLUI_SPINNER_INT)
        *static_cast<int *>(row.live) = static_cast<int>(v);
    else
        *static_cast<float *>(row.live) = static_cast<float>(v);
    refresh_shown_spinner_text(spinner);
    update_spinner_widget(spinner);
    int main_gfx_window = glui_windows[row.window].main_gfx_window;
    if (main_gfx_window > 0)
        request_main_redisplay(main_gfx_window);
}

// Limits swapped if low > high; a live value outside them is brought inside.
void set_spinner_limits(int spinner, double low, double high, int limit_type)
{
    if (spinner < 0)
        return;
    glui_spinner_row &row = glui_spinners[spinner];
    row.low = low > high ? high : low;
    row.high = low > high ? low : high;
    row.limit_type = limit_type;
    double v = live_spinner_value(spinner);
    if (limit_spinner_value(v, row.data_type, limit_type, row.low, row.high) != v) {
        write_spinner_value(spinner, v);
    } else {
        refresh_shown_spinner_text(spinner);
        update_spinner_widget(spinner); // a page's spinner tells its range too
    }
}

} // namespace

GLUI *GLUI_Master_Object::create_glui(const char *name, long, int x, int y)
{
    if (glui_window_count == max_control_windows)
        return &unusable_window;
    int w = glui_window_count++;
    glui_window_row &row = glui_windows[w];
    row = glui_window_row();
    row.handle.slot = w;
    open_control_window(w, name ? name : "", x, y);
    return &row.handle;
}

void GLUI::set_main_gfx_window(int window_id)
{
    if (slot >= 0)
        glui_windows[slot].main_gfx_window = window_id;
}

GLUI_Spinner *GLUI::add_spinner(const char *name, int data_type, void *live_var, int, GLUI_CB)
{
    if (slot < 0 || glui_spinner_count == max_spinners || live_var == nullptr ||
        (data_type != GLUI_SPINNER_INT && data_type != GLUI_SPINNER_FLOAT))
        return &unusable_spinner;
    int s = glui_spinner_count++;
    glui_spinner_row &row = glui_spinners[s];
    row = glui_spinner_row();
    row.handle.slot = s;
    row.window = slot;
    row.data_type = data_type;
    row.live = live_var;
    std::snprintf(row.label, sizeof row.label, "%s", name ? name : "");
    refresh_shown_spinner_text(s);
    add_spinner_widget(s);
    return &row.handle;
}

void GLUI_Spinner::set_int_limits(int low, int high, int limit_type)
{
    set_spinner_limits(slot, low, high, limit_type);
}

void GLUI_Spinner::set_float_limits(float low, float high, int limit_type)
{
    set_spinner_limits(slot, low, high, limit_type);
}

double live_spinner_value(int spinner)
{
    const glui_spinner_row &row = glui_spinners[spinner];
    if (row.data_type == GLUI_SPINNER_INT)
        return *static_cast<int *>(row.live);
    return static_cast<double>(*static_cast<float *>(row.live));
}

void refresh_shown_spinner_text(int spinner)
{
    glui_spinner_row &row = glui_spinners[spinner];
    format_spinner_value(live_spinner_value(spinner), row.data_type, row.shown, sizeof row.shown);
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

bool commit_spinner_text_in_words(int spinner, const char *text, char *words, int size)
{
    const glui_spinner_row &row = glui_spinners[spinner];
    char quoted[quoted_text_size];
    quote_user_text(text, quoted, sizeof quoted);
    double typed = 0.0;
    bool number = read_number_text(text, &typed);
    if (!commit_spinner_text(spinner, text)) {
        // Nothing quoted would leave the sentence without its subject.
        std::snprintf(words, size, "%s is not %s: %s stays %s",
                      quoted[0] != '\0' ? quoted : "An empty field",
                      number ? "a whole number" : "a number", row.label, row.shown);
        return false;
    }
    char limit[32] = "";
    bool above = typed > row.high;
    if (row.limit_type != GLUI_LIMIT_NONE && (above || typed < row.low)) {
        format_spinner_value(above ? row.high : row.low, row.data_type, limit, sizeof limit);
        std::snprintf(words, size, "%s is %s %s: %s is %s", quoted, above ? "above" : "below",
                      limit, row.label, row.shown);
    } else if (size > 0) {
        words[0] = '\0';
    }
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

void leave_spinner_field(int spinner, const char *text, bool edited, char *words, int size)
{
    if (words && size > 0)
        words[0] = '\0';
    if (edited && words)
        commit_spinner_text_in_words(spinner, text, words, size);
    else if (edited)
        commit_spinner_text(spinner, text);
}

void step_spinner_field_from_inside(int spinner, const char *text, bool edited, int steps,
                                    char *words, int size)
{
    leave_spinner_field(spinner, text, edited, words, size);
    step_spinner(spinner, steps);
}
