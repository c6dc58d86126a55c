// SPDX-License-Identifier: MIT
// The desktop backend: Dear ImGui 1.86 draws each control window in a GLUT
// window of its own. What it keeps for each row of the core's tables (in
// window_backends and spinner_backends, at the row's slot), and its parts, a
// file each: the input queue, the ImGui frame, the screen density, and the
// GLUT window with its callbacks (window.cpp). Private to the layer; its
// sources and tests include it.
#pragma once

#include "glui/core/spinner_table.h"

struct ImGuiContext;

// ---- input held between frames (input_queue.cpp) ----
// ImGui 1.86 samples io.MouseDown and io.KeysDown once per NewFrame, so a
// press and release that both arrive between two frames would never be seen.
// Events wait in their window's queue instead, and each frame takes them in
// order up to and including the first button or key change, so every press
// lasts at least one frame and text typed before a key (Enter, Backspace)
// reaches the field before that key does. Each frame hands ImGui the Shift,
// Ctrl and Alt state of the last event it takes, as it stood after that
// event, so that a modifier released where this window cannot see it is
// forgotten at the next event that reaches it.

enum input_kind { mouse_move, mouse_button, mouse_wheel, key_char, key_special };

// The mods of an event that knows no modifier state: ImGui keeps the one it has.
const int input_mods_unknown = -1;

struct input_event {
    input_kind kind;
    // mouse_button: ImGui's 0 left, 1 right, 2 middle; mouse_wheel: notches, up +;
    // key_char: GLUT's character (8 Backspace, 9 Tab, 13 Enter, 27 Escape,
    // 127 Delete, 1..26 Ctrl+letter); key_special: GLUT_KEY_LEFT etc.
    int code;
    bool down;  // a press (a printable character's also types it) or a release
    int mods;   // GLUT_ACTIVE_* bits after the event, or input_mods_unknown
    float x, y; // the pointer, in window pixels, for mouse events
};

// Enough for a burst of typing between two frames.
const int input_queue_size = 256;

struct window_backend {
    int glut_window;       // 0 until the GLUT window is made
    ImGuiContext *context; // one ImGui context per control window
    int follow_up_frames;  // frames still to draw after the last event
    float content_width;   // size the last frame's widgets needed, in pixels
    float content_height;
    int fitted_width; // the GLUT window size last requested, 0 before
    int fitted_height;
    bool left_button_down;               // held step buttons repeat only meanwhile
    input_event queue[input_queue_size]; // events no frame has taken yet, oldest first
    int queued;
};

struct spinner_backend {
    char text[spinner_text_size]; // the field's text: the live value, or the user's edit
    bool editing;                 // the field was being edited at the end of the last frame
    bool edited;                  // its text was changed during the current edit
    float field_x, minus_x, plus_x, row_y;            // widget centres in the last frame, in pixels
    float box_min_x, box_min_y, box_max_x, box_max_y; // the field and its buttons, likewise
    int pending_steps;     // wheel steps for the field's callback in this frame
    bool stepped_in_field; // the callback stepped and replaced the field's text
};

// Each control window's and each spinner's state, at the slot of its row in
// glui_windows or glui_spinners; a row's state starts afresh (all zero) when
// the core adds the row.
extern window_backend window_backends[max_control_windows];
extern spinner_backend spinner_backends[max_spinners];

// Adds e to window's queue. A move right after a move with the same modifier
// state takes its place. In a full queue a new event is dropped, except a
// release, which replaces the last event so that nothing stays pressed.
void queue_input(int window, const input_event &e);

// Moves the next frame's share of window's queue into the current ImGui
// context's io (call before NewFrame, with window's context current). Returns
// true while events remain for later frames.
bool apply_queued_input(int window);

// ---- the frame (control_frame.cpp) ----

// The step button being held: the spinner, the direction (+1 or -1), and a
// count that changes with every new press, so that a repeat timer armed for
// an earlier press can tell it is stale. held_step_spinner is -1 when none.
extern int held_step_spinner;
extern int held_step_direction;
extern int held_step_press;

// Builds window's widgets between ImGui::NewFrame and ImGui::Render, with
// window's context current: a borderless ImGui window at (0, 0) fitted to its
// contents (its size is stored in the window's row), and for each of the
// window's spinners its label, a text field and the "-" and "+" buttons.
// Committed text is written on leaving the field after an edit (Enter, Tab or
// a click elsewhere); Escape restores the shown value. A press on a step button
// steps once and marks it held until it is released. A wheel notch over the
// field or its buttons steps once (up +, down -), and so do Up and Down while
// the field has the keyboard, after committing an edit.
void build_control_frame(int window);

// ---- screen density (screen_density.cpp) ----
// Desktop programs follow the X resource Xft.dpi, which GNOME, KDE and Xfce
// set to 144 or 192 on high-density screens; 96 is the normal density, at
// which the window keeps ImGui's own 13-pixel font.

// DejaVu Sans (Debian's fonts-dejavu-core), drawn at densities other than 96.
extern const char *const density_font_path;

// The scale for the X resources in resources, the text XResourceManagerString
// returns: Xft.dpi / 96, held to 0.5 .. 4 so that a stray value cannot ask for
// a font thousands of pixels high. 1 when resources is null, names no Xft.dpi,
// or its value is not a positive number ("192" and "144.0" are; "auto",
// "-96" and "0" are not).
double density_scale(const char *resources);

// Makes the current ImGui context draw at scale, before its first frame: for
// scale 1 nothing changes; otherwise every style size is scaled and the font
// is font_path rasterised at 13 x scale pixels, or, when that file cannot be
// read, ImGui's own font rasterised at that size.
void apply_density(double scale, const char *font_path);
