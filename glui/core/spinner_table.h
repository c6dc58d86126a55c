// SPDX-License-Identifier: MIT
// What every backend of the layer shares: a table of control windows and a
// table of spinners as GLUI sees them, and the one path by which a spinner
// writes its live variable. Private to the layer; the viewers include only
// glui/glui.h.
//
// A backend (the desktop's ImGui on GLUT, the web page) draws the widgets and
// turns its events into the calls below; it implements the four hooks at the
// end of this header. Row indices are shared: a backend keeps its own state
// for window w and spinner s at index w and s of its own tables.
#pragma once

#include "glui/glui.h"

const int max_control_windows = 4;
const int max_spinners = 16;
const int spinner_text_size = 64;

struct glui_window_row {
    GLUI handle; // what create_glui hands out; handle.slot is this row's index
    char name[spinner_text_size];
    int main_gfx_window; // redisplayed after each write; 0: none
};

struct glui_spinner_row {
    GLUI_Spinner handle; // what add_spinner hands out; handle.slot is this row's index
    int window;          // row in glui_windows
    int data_type;       // GLUI_SPINNER_INT (live is an int) or GLUI_SPINNER_FLOAT (a float)
    void *live;          // the program's variable
    char label[spinner_text_size];
    int limit_type; // GLUI_LIMIT_NONE, _CLAMP or _WRAP
    double low, high;
    char shown[spinner_text_size]; // the live value as the field shows it (shown_spinner_text)
};

extern glui_window_row glui_windows[max_control_windows];
extern int glui_window_count;
extern glui_spinner_row glui_spinners[max_spinners];
extern int glui_spinner_count;

// Called with main_gfx_window after every write of a live variable.
// Defaults to the backend's post_main_redisplay; tests count calls.
extern void (*request_main_redisplay)(int main_gfx_window);

// Adds a window row named name (null: "") with no main window and returns its
// index, or -1 when the table is full. Calls no hook: create_glui does that.
int add_window_row(const char *name);

// Adds a spinner row on window bound to live (int* or float* per data_type),
// labelled label, with no limits, and calls add_spinner_widget. Returns its
// index, or -1 when the table is full, window is not a row, live is null or
// data_type is neither spinner type.
int add_spinner_row(int window, const char *label, int data_type, void *live);

// Sets a spinner's limits (swapped if low > high) and, for a limiting type,
// brings a live value that lies outside them inside, through write_spinner_value;
// otherwise calls show_spinner_value.
void set_spinner_limits(int spinner, double low, double high, int limit_type);

// The live variable as a double.
double live_spinner_value(int spinner);

// The live variable as the spinner's field shows it (format_spinner_value),
// as it is now, whoever changed it; kept in the row's shown text.
const char *shown_spinner_text(int spinner);

// The only writer of live variables: limits value, stores it in the live
// variable's type, calls show_spinner_value, and requests a redisplay of the
// window's main window.
void write_spinner_value(int spinner, double value);

// Commits text typed into a spinner's field. Refused text (not a number, or a
// fraction for an integer spinner) changes nothing and returns false.
bool commit_spinner_text(int spinner, const char *text);

// steps steps of a spinner (its buttons, the wheel, Up and Down), each +-1 for
// an integer and +-0.1 in decimal for a float spinner, in the sign's direction.
void step_spinner(int spinner, int steps);

// The field is left (Enter, Tab, a click or focus elsewhere) holding text:
// text the user edited since the field last showed the value is committed;
// a visit without an edit writes nothing.
void leave_spinner_field(int spinner, const char *text, bool edited);

// steps from inside the field (Up, Down, the wheel) while it holds text: an
// edit is committed first, as leaving the field would commit it, then the
// value steps from what the commit left.
void step_spinner_field(int spinner, const char *text, bool edited, int steps);

// Empties both tables (for tests); the backends' own state is theirs to clear.
void clear_glui_tables();

// ---- hooks each backend implements ----

// Makes what shows window (a new row, named name) at screen position (x, y)
// where the platform has one. Returns false when it cannot; create_glui then
// drops the row.
bool open_control_window(int window, int x, int y);

// Makes the widgets of a new spinner row: its label, field and step buttons.
void add_spinner_widget(int spinner);

// A spinner's live value was just written, or its limits set: a field not
// being edited shows the value (and a page's spinner its range).
void show_spinner_value(int spinner);

// Asks the platform to redraw the program's window main_gfx_window (above 0).
void post_main_redisplay(int main_gfx_window);
