// SPDX-License-Identifier: MIT
// The field viewer: the grid window that shows display_grid, its mouse
// callback and bursts of timed steps, and the control window with the alpha
// spinner.
#pragma once

class GLUI;

// GLUT identifier of the grid window, set by start_fieldgrid.
extern int main_window;
// The control window, created by create_controls.
extern GLUI *control_window;

// Display callback: clears, draws the 64 x 64 cells of display_grid inside a
// white margin one cell wide, and flushes. A value v is clamped to [-1, 1]
// and drawn in red (v + 1) / 2: -1 black, +1 full red.
void draw_field();

// Mouse callback: a left press schedules 500 steps 100 ms apart, a right
// press runs one step at once; releases and other buttons are ignored.
void on_mouse(int button, int state, int x, int y);

// Registers count one-shot timers at interval, 2*interval, ... count*interval
// ms, each calling advance_one_step(0). count <= 0: none. Each step reads
// alpha when it runs, so spinner changes reach the rest of a burst.
void schedule_burst(int count, int interval);

// Sets the clear colour to white.
void set_background();

// Creates the "alpha" control window at (475, 100) with a floating-point
// spinner on alpha, clamped to 1.0 .. 4.0.
void create_controls();

// Everything main does before the GLUT main loop: seeds the generator from the
// clock, sets the initial field, initialises GLUT with the command line and
// opens both windows.
void start_fieldgrid(int *argc, char **argv);
