// SPDX-License-Identifier: MIT
// Input held between frames. ImGui 1.86 samples io.MouseDown and io.KeysDown
// once per NewFrame, so a press and release that both arrive between two
// frames would never be seen. Events are queued per control window instead,
// and each frame takes them in order up to and including the first button or
// key change, so every press lasts at least one frame and text typed before a
// key (Enter, Backspace) reaches the field before that key does.
//
// Each event carries the Shift, Ctrl and Alt state as it stands once the event
// has happened, and each frame hands ImGui the state of the last event it
// takes, so that a modifier released where this window cannot see it is
// forgotten at the next event that reaches it.
#pragma once

// GLUT's modifier bits as glutGetModifiers returns them.
const int input_mod_shift = 1;
const int input_mod_ctrl = 2;
const int input_mod_alt = 4;
// For an event that knows no modifier state: ImGui keeps the one it has.
const int input_mods_unknown = -1;

// A mouse button change (ImGui numbering: 0 left, 1 right, 2 middle) at (x, y).
void queue_mouse_button(int window, int button, bool down, float x, float y,
                        int mods = input_mods_unknown);

// A pointer move; consecutive moves are folded into one unless they carry
// different modifier states.
void queue_mouse_move(int window, float x, float y, int mods = input_mods_unknown);

// Wheel notches at (x, y): positive away from the user (up), negative
// towards. Each event has a frame of its own, so a notch is seen once.
void queue_mouse_wheel(int window, int notches, float x, float y, int mods = input_mods_unknown);

// A key from GLUT's keyboard callbacks: c is the character (8 Backspace,
// 9 Tab, 13 Enter, 27 Escape, 127 Delete, 1..26 Ctrl+letter); a press of a
// printable character also types it.
void queue_key_char(int window, unsigned char c, bool down, int mods);

// A key from GLUT's special callbacks (GLUT_KEY_LEFT etc.).
void queue_key_special(int window, int key, bool down, int mods);

// Moves the next frame's share of window's queue into the current ImGui
// context's io (call before NewFrame, with window's context current). Returns
// true while events remain for later frames.
bool apply_queued_input(int window);

// Whether window has queued events.
bool input_pending(int window);

// Drops every queued event (for tests).
void clear_input_queues();
