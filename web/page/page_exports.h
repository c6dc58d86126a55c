// SPDX-License-Identifier: MIT
// What a page's module offers its script besides main, and what it tells
// the script. Each export is callable from JavaScript as Module._name; a
// pointer is a byte offset into the module's memory (Module.HEAPF64), valid
// until the next call into the module.
//
// The run:
//   web_start_run(seed)     starts the run over from seed (a whole number
//                           0 .. 2^32 - 1): the initial grid and every draw
//                           after it follow from it; the page calls it once
//                           the module has started
//   web_run_seed()          that seed
//   web_run_schema()        the page's numbers described by name: a pointer
//                           to JSON text (run_page.h, run_schema)
//   web_run_now()           the latest row, or the model before the first
//                           step: the schema's columns, in its order
//   web_run_summary()       the summary numbers, in the schema's order
//   web_run_constants()     the model's constants, in the schema's order
//   web_run_steps()         steps recorded; web_run_held() rows held;
//   web_run_whole_from()    the first step kept whole (0 unless thinned);
//   web_run_stride()        one row in this many kept before it
//   web_run_rows(first, count)
//                           copies held rows from first on, at most count
//                           and at most web_rows_max (4096) of them, into the
//                           row buffer; returns how many
//   web_run_sample(count)   up to count held rows spread over the run, the
//                           latest included, into the row buffer; returns
//                           how many
//   web_row_buffer()        the row buffer: rows of the schema's columns
//   web_timers_pending()    a burst's timers still to fire
//   web_picture()           the grid's cells as the page draws them: a
//                           pointer to (N + 2)^2 * 3 bytes, red, green, blue,
//                           row by row from the top, a margin of white cells
//                           round the N x N grid
//   web_picture_side()      N + 2
//   web_colour_scale(k)     draws the grid in colour scale k of the schema's
//                           scales (0, the design's black to red, at start)
//                           from the next frame, pictures included
//   web_colour_table(k)     scale k's 256 colours: a pointer to 768 bytes,
//                           red, green, blue for each red the viewers draw
// The window:
//   web_redisplay()         asks for a redraw (the page does after a resize
//                           and when its WebGL context is back after a loss)
//
// The module calls, when the page has defined them, Module.onStep(from_timer)
// after each recorded step (from_timer: a burst's timer ran it) and
// Module.onTimerSet() as each timer of a burst is set (page_calls.js).
#pragma once

// Rows web_run_rows copies at most.
constexpr int web_rows_max = 4096;

extern "C" {
void web_start_run(unsigned int seed);
double web_run_seed();
const char *web_run_schema();
const double *web_run_now();
const double *web_run_summary();
const double *web_run_constants();
double web_run_steps();
double web_run_held();
double web_run_whole_from();
double web_run_stride();
int web_run_rows(double first, int count);
int web_run_sample(int count);
const double *web_row_buffer();
int web_timers_pending();
const unsigned char *web_picture();
int web_picture_side();
void web_colour_scale(int scale);
const unsigned char *web_colour_table(int scale);
void web_redisplay();
}
