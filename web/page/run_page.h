// SPDX-License-Identifier: MIT
// Private to the page: what each program's part (spin_page.cpp,
// field_page.cpp) gives the part both pages share (run_page.cpp), which
// hears of every step, records it (run_record.h) and hands the page's script
// the numbers by name (page_exports.h).
//
// Every step of a viewer runs inside a GLUT callback, a press's or a timer's,
// and each callback runs at most one. The shared part runs each of those
// callbacks between note_before_callback and steps_after_callback, so that
// the program's part can tell whether the model stepped and with which
// parameter, from the model's own state.
#pragma once

// A number the page shows, records or writes into its file, named once here
// for every use.
struct page_number {
    const char *name;    // how the page's script and the file's header row name it
    const char *label;   // how the page shows it ("magnetisation m")
    const char *unit;    // "" for none
    const char *meaning; // a sentence for the file's header
};

// A row of the page's table of averages: a label, a unit, and the names of
// two summary numbers, measured and exact ("" where there is none).
struct page_table_row {
    const char *label;
    const char *unit;
    const char *measured;
    const char *exact;
};

// ---- each program's part defines these ----

// "spingrid" or "fieldgrid".
extern const char *const page_program;

// The columns of a recorded row; the first is the step's number (1 for the
// first step), which the picture's file name and the file's thinning note use.
extern const page_number run_columns[];
extern const int run_column_count;

// The numbers of the summary (page_summary), and how the table shows them.
extern const page_number summary_numbers[];
extern const int summary_count;
extern const page_table_row table_rows[];
extern const int table_row_count;

// The model's constants, for the file's header, and their values.
extern const page_number model_constants[];
extern const int constant_count;
void constant_values(double *values);

// The viewer's mouse and display callbacks.
extern void (*const viewer_mouse)(int button, int state, int x, int y);
extern void (*const viewer_display)();
// Cells per side of the grid the viewer draws.
extern const int grid_cells_per_side;

// Sets the initial condition again from the generator as now seeded, as the
// viewer's start-up did, and forgets the steps counted.
void restart_model();

// The model as it stands, as a row of run_column_count numbers.
void measure_model(double *row);

// Notes, before a callback of the viewer runs, what tells whether it steps
// and the parameter a step would run with: a timer's value for a timer
// (from_timer), the live parameter for a press.
void note_before_callback(bool from_timer, int timer_value);

// After the callback: the number of steps it ran since the note (0 or 1),
// and when it ran one, the model as it now stands in row.
int steps_after_callback(double *row);

// The summary numbers (summary_count of them) from the record and the model.
void page_summary(double *values);

// ---- the part both pages share (run_page.cpp) ----

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

// Called after each step is recorded, from_timer when a burst's timer ran
// it; nothing by default, never null.
extern void (*step_recorded)(bool from_timer);

// The run as it stands: the latest recorded row, or before the first step
// the model measured now. row: run_column_count numbers.
void run_now(double *row);

// Copies up to max_rows held rows, evenly spread over those held and always
// with the latest, into rows (max_rows * run_column_count numbers), oldest
// first; returns how many. For the plot, which need not draw every step.
long run_sample(long max_rows, double *rows);

// Every number the page shows, described by name: JSON text, made once,
//   {"program": P, "columns": [N...], "summary": [N...], "constants": [N...],
//    "table": [{"label", "unit", "measured", "exact"}...],
//    "scales": [{"name", "label", "low", "middle", "high"}...]}
// with N = {"name", "label", "unit", "meaning"}. The numbers themselves come
// as arrays in the same order (run_now, page_summary, constant_values); the
// scales are colour_scales.h's.
const char *run_schema();
