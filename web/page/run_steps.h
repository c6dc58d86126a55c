// SPDX-License-Identifier: MIT
// The pages' run: every step a viewer takes, from a press or a burst's
// timer, recorded as a row (measure/run_record.h) and told to whoever
// listens (step_taken). The program's page part (page_description.h) says
// whether a callback stepped and measures the model.
//
// Every step of a viewer runs inside a GLUT callback, a press's or a timer's,
// and each callback runs at most one. The run wraps each of those callbacks
// between note_before_callback and steps_after_callback, so that the
// program's part can tell whether the model stepped and with which
// parameter, from the model's own state.
#pragma once

// Starts the run over from seed: seeds the generator, sets the initial
// condition again (restart_model) and empties the record; from then on the
// viewer's presses reach it through page_mouse (registered with GLUT here).
void start_run(unsigned int seed);

// The seed start_run was given.
unsigned int run_seed();

// The viewer's mouse callback as the page runs it: the callback, then the
// step it took, if any, recorded.
void page_mouse(int button, int state, int x, int y);

// A timer's callback as the page runs it, likewise.
void page_timer(void (*callback)(int), int value);

// Called after each step is recorded, from_timer 1 when a burst's timer ran
// it, 0 for a press. Each build defines it: the page's module in
// page_events.js, which tells the page's script; tests and benchmarks their
// own. It must not call back into the run: the callback that stepped is
// still running.
extern "C" void step_taken(int from_timer);

// The run as it stands: the latest recorded row, or before the first step
// the model measured now. row: this_page.columns.count numbers.
void run_now(double *row);

// Copies up to max_rows held rows, evenly spread over those held and always
// with the latest, into rows (max_rows * this_page.columns.count numbers),
// oldest first; returns how many. For the plot, which need not draw every
// step.
long run_sample(long max_rows, double *rows);
