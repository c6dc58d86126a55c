// SPDX-License-Identifier: MIT
// GLUI's object-shaped entry points, each a thin call into the window and
// spinner tables and, for what shows on the screen, the backend's hooks.
#include "glui/glui.h"

#include "glui/core/spinner_table.h"

GLUI_Master_Object GLUI_Master;

namespace {

// Handed out when a window cannot be made (table full, the backend failed):
// it accepts every call and shows nothing, so a program that ignores the
// failure does not crash.
GLUI unusable_window = {-1};

// Handed out when a spinner cannot be made (table full, no live variable,
// unknown type, unusable window): its calls do nothing.
GLUI_Spinner unusable_spinner = {-1};

} // namespace

GLUI *GLUI_Master_Object::create_glui(const char *name, long, int x, int y)
{
    int w = add_window_row(name);
    if (w < 0)
        return &unusable_window;
    if (!open_control_window(w, x, y)) {
        glui_window_count--;
        return &unusable_window;
    }
    return &glui_windows[w].handle;
}

void GLUI::set_main_gfx_window(int window_id)
{
    if (slot >= 0)
        glui_windows[slot].main_gfx_window = window_id;
}

GLUI_Spinner *GLUI::add_spinner(const char *name, int data_type, void *live_var, int, GLUI_CB)
{
    int s = slot >= 0 ? add_spinner_row(slot, name, data_type, live_var) : -1;
    return s >= 0 ? &glui_spinners[s].handle : &unusable_spinner;
}

void GLUI_Spinner::set_int_limits(int low, int high, int limit_type)
{
    if (slot >= 0)
        set_spinner_limits(slot, low, high, limit_type);
}

void GLUI_Spinner::set_float_limits(float low, float high, int limit_type)
{
    if (slot >= 0)
        set_spinner_limits(slot, low, high, limit_type);
}
