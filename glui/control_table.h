// SPDX-License-Identifier: MIT
// The layer's state: a table of control windows and a table of spinners, and
// the one path by which a spinner writes its live variable. No GLUT here; the
// redisplay request goes through a replaceable function pointer.
#pragma once

#include "glui/glui.h"

struct ImGuiContext;

const int max_control_windows = 4;
const int max_spinners = 16;
const int spinner_text_size = 64;

struct control_window_row {
    GLUI handle;           // what create_glui hands out; handle.slot is this row's index
    int glut_window;       // 0 until the GLUT glue has made the window
    int main_gfx_window;   // redisplayed after each write; 0: none
    ImGuiContext *context; // one ImGui context per control window
    int follow_up_frames;  // frames still to draw after the last event
    float content_width;   // size the last frame's widgets needed, in pixels
    float content_height;
    int fitted_width; // the GLUT window size last requested, 0 before
    int fitted_height;
};

struct spinner_row {
    GLUI_Spinner handle; // what add_spinner hands out; handle.slot is this row's index
    int window;          // row in control_windows
    int data_type;       // GLUI_SPINNER_INT (live is an int) or GLUI_SPINNER_FLOAT (a float)
    void *live;          // the program's variable
    char label[spinner_text_size];
    int limit_type; // GLUI_LIMIT_NONE, _CLAMP or _WRAP
    double low, high;
    char text[spinner_text_size]; // the field's text: the live value, or the user's edit
    bool editing;                 // the field was being edited at the end of the last frame
    bool edited;                  // its text was changed during the current edit
    float field_x, minus_x, plus_x, row_y;            // widget centres in the last frame, in pixels
    float box_min_x, box_min_y, box_max_x, box_max_y; // the field and its buttons, likewise
    int pending_steps;     // wheel steps for the field's callback in this frame
    bool stepped_in_field; // the callback stepped and replaced the field's text
};

extern control_window_row control_windows[max_control_windows];
extern int control_window_count;
extern spinner_row spinners[max_spinners];
extern int spinner_count;

// Called with main_gfx_window after every write of a live variable. Defaults
// to glutPostWindowRedisplay for a window id above 0; tests count calls.
extern void (*request_main_redisplay)(int main_gfx_window);

// Adds a control window row with its own ImGui context (no imgui.ini, fonts
// built) and returns its index, or -1 when the table is full. The context is
// left current. Needs no window system.
int add_control_window_row();

// Adds a spinner row on window bound to live (int* or float* per data_type),
// labelled label, with no limits. Returns its index, or -1 when the table is
// full, live is null or data_type is neither spinner type.
int add_spinner_row(int window, const char *label, int data_type, void *live);

// Sets a spinner's limits (swapped if low > high) and, for a limiting type,
// brings a live value that lies outside them inside, through write_spinner_value.
void set_spinner_limits(int spinner, double low, double high, int limit_type);

// The live variable as a double.
double live_spinner_value(int spinner);

// The only writer of live variables: limits value, stores it in the live
// variable's type, and requests a redisplay of the window's main window.
void write_spinner_value(int spinner, double value);

// Commits text typed into a spinner's field. Refused text (not a number, or a
// fraction for an integer spinner) changes nothing and returns false.
bool commit_spinner_text(int spinner, const char *text);

// One step of a spinner (its buttons, the wheel, Up and Down): +-1 for an
// integer, +-0.1 in decimal for a float spinner; direction is +1 or -1.
void step_spinner(int spinner, int direction);

// Destroys every ImGui context and empties both tables (for tests).
void clear_control_tables();
