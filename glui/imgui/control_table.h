// SPDX-License-Identifier: MIT
// The desktop backend's state beside the shared tables: per control window
// its ImGui context and fitted size, per spinner its field's text and the
// places the last frame drew its widgets. Row w and s here belong to rows w
// and s of glui_windows and glui_spinners.
#pragma once

#include "glui/core/spinner_table.h"

struct ImGuiContext;

struct control_window_row {
    int glut_window;       // 0 until the GLUT glue has made the window
    ImGuiContext *context; // one ImGui context per control window
    int follow_up_frames;  // frames still to draw after the last event
    float content_width;   // size the last frame's widgets needed, in pixels
    float content_height;
    int fitted_width; // the GLUT window size last requested, 0 before
    int fitted_height;
};

struct spinner_row {
    char text[spinner_text_size]; // the field's text: the live value, or the user's edit
    bool editing;                 // the field was being edited at the end of the last frame
    bool edited;                  // its text was changed during the current edit
    float field_x, minus_x, plus_x, row_y;            // widget centres in the last frame, in pixels
    float box_min_x, box_min_y, box_max_x, box_max_y; // the field and its buttons, likewise
    int pending_steps;     // wheel steps for the field's callback in this frame
    bool stepped_in_field; // the callback stepped and replaced the field's text
};

extern control_window_row control_windows[max_control_windows];
extern spinner_row spinners[max_spinners];

// Gives window row w its own ImGui context (no imgui.ini, ImGui's GLUT key
// map, fonts built), left current. Needs no window system.
void make_control_context(int w);

// Adds a window row (add_window_row) with its ImGui context and no GLUT
// window, and returns its index, or -1 when the table is full (for tests and
// for create_glui's hook).
int add_control_window_row();

// Destroys every ImGui context and empties the backend's and the shared
// tables (for tests).
void clear_control_tables();
