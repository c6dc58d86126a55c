// SPDX-License-Identifier: MIT
// What every backend of the layer shares: a table of control windows and a
// table of spinners as GLUI sees them, and the one path by which a spinner
// writes its live variable. Private to the layer (the viewers include only
// glui/glui.h); its backends and tests include it.
//
// A backend (the desktop's ImGui on GLUT, the web page) draws the widgets,
// turns its events into the calls below and implements the hooks at the end.
// Each build links exactly one. The core knows nothing of it: a backend
// keeps its own state for each row in arrays of its own, indexed by the
// row's slot and sized by the constants below.
#pragma once

#include "glui/glui.h"

// Sizes of the tables and of each spinner's texts (its label, the value as
// shown, and the text a field holds), in bytes with the final NUL.
const int max_control_windows = 4;
const int max_spinners = 16;
const int spinner_text_size = 64;
// Enough for every sentence commit_spinner_text_in_words writes: a quoted
// text (quoted_text_size), a label and a value.
const int spinner_words_size = 256;

struct glui_window_row {
    GLUI handle;         // what create_glui hands out; handle.slot is this row's index
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
    // The live value as the field shows it, as of the last
    // refresh_shown_spinner_text.
    char shown[spinner_text_size];
};

// Rows are added by create_glui and add_spinner, which call the hooks below.
// When a row cannot be added (a full table; for a spinner, no live variable,
// an unknown type or an unusable window) they hand out a handle with slot -1,
// whose calls do nothing, so that a program that ignores the failure does not
// crash. A spinner's limits start as GLUI_LIMIT_NONE.
extern glui_window_row glui_windows[max_control_windows];
extern int glui_window_count;
extern glui_spinner_row glui_spinners[max_spinners];
extern int glui_spinner_count;

// Asks the platform to redraw the program's window main_gfx_window (above 0),
// after every write of a live variable: glutPostWindowRedisplay on the
// desktop; on a page, whose one canvas is every window, glutPostRedisplay.
// The backend defines it; tests put a counter in its place.
extern void (*request_main_redisplay)(int main_gfx_window);

// The live variable as a double.
double live_spinner_value(int spinner);

// Writes the live variable as the field shows it (format_spinner_value), as
// it is now, whoever changed it, into the row's shown text. Every write of
// the live variable does this too; the program may change it behind the
// layer's back, so a backend about to show the value calls it first.
void refresh_shown_spinner_text(int spinner);

// Commits text typed into a spinner's field: the value is limited, stored in
// the live variable's type, shown (update_spinner_widget), and the window's
// main window redisplayed. Refused text (not a number, or a fraction for an
// integer spinner) changes nothing and returns false.
bool commit_spinner_text(int spinner, const char *text);

// Commits text as commit_spinner_text does and writes into words (size
// bytes; spinner_words_size always holds them) what happened, for a page to
// say: "" when the value stored is the text's own number; "7 is above 4:
// Temperature is 4" (or below) when it was limited; "2.5 is not a whole
// number: Temperature stays 3" or "abc is not a number: alpha stays 1.5"
// when refused, and "An empty field is not a number: alpha stays 1.5" for
// text that is empty or only blanks. The text is quoted as quote_user_text
// quotes it. Returns whether it was taken.
bool commit_spinner_text_in_words(int spinner, const char *text, char *words, int size);

// steps steps of a spinner (its buttons, the wheel, Up and Down), each +-1 for
// an integer and +-0.1 in decimal for a float spinner, in the sign's
// direction, each written as a commit writes.
void step_spinner(int spinner, int steps);

// The field holding text was left (Enter, Tab, a click or focus elsewhere):
// text the user edited since the field last showed the value is committed;
// a visit without an edit writes nothing. With words (size bytes), what
// became of the edited text is written there as commit_spinner_text_in_words
// says it ("" when there was no edit, or it was taken as it is).
void leave_spinner_field(int spinner, const char *text, bool edited, char *words = nullptr,
                         int size = 0);

// The field holding text was stepped from inside (Up, Down, the wheel) by
// steps as step_spinner takes them: an edit is committed first, as leaving
// the field would commit it (words likewise), then the value steps from what
// that left.
void step_spinner_field_from_inside(int spinner, const char *text, bool edited, int steps,
                                    char *words = nullptr, int size = 0);

// ---- hooks each backend implements ----

// Makes what shows window (a new row) titled name at screen position (x, y)
// where the platform has one.
void open_control_window(int window, const char *name, int x, int y);

// Makes the widgets of a new spinner row: its label, field and step buttons.
void add_spinner_widget(int spinner);

// A spinner's live value was just written, or its limits set (its shown
// text refreshed before either): a field not being edited shows the value,
// and a page's spinner its range.
void update_spinner_widget(int spinner);
