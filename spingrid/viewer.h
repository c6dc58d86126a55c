// SPDX-License-Identifier: MIT
// The spin viewer: the grid window that shows the lattice, its mouse and
// timer callbacks, and the control window with the temperature spinner.
#pragma once

class GLUI;

// GLUT identifier of the grid window, set by start_spingrid.
extern int main_window;
// The control window, created by create_controls.
extern GLUI *control_window;

// Display callback: clears, draws the L x L cells (-1 black, +1 red) inside a
// white margin one cell wide, and flushes.
void draw_spins();

// Mouse callback: a left press schedules 100 sweeps 100 ms apart, a right
// press runs one sweep at once; everything else is ignored.
void on_mouse(int button, int state, int x, int y);

// Registers count one-shot timers at interval, 2*interval, ... count*interval
// ms, each carrying the temperature of this moment. count <= 0: none.
void schedule_burst(int count, int interval);

// Timer callback: one sweep at temperature value, then a redisplay of the grid.
void timer_sweep(int value);

// Sets the clear colour to white.
void set_background();

// Creates the "Temperature" control window at (475, 100) with its spinner on
// temperature, clamped to 1..4.
void create_controls();

// Everything main does before the GLUT main loop: seeds the generator from the
// clock, randomizes the lattice, initialises GLUT with the command line and
// opens both windows.
void start_spingrid(int *argc, char **argv);
