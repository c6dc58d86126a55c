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
//   web_run_snapshot()      the run as it stands, in one call: a pointer to
//                           web_snapshot_head numbers (steps recorded, rows
//                           held, the first step kept whole, the stride of
//                           the thinned rows, a burst's timers still to
//                           fire, the seed), then the latest row (the model
//                           before the first step) in the description's
//                           columns, then the summary in its summary's order
//   web_run_constants()     the model's constants, in the description's order
//   web_run_rows(first, count)
//                           copies held rows from first on, at most count
//                           and at most web_rows_max() of them, into the
//                           row buffer; returns how many
//   web_run_sample(count)   up to count held rows spread over the run, the
//                           latest included, into the row buffer; returns
//                           how many
//   web_row_buffer()        the row buffer: rows of the description's columns
//   web_rows_max()          rows the row buffer holds
//   web_picture()           the grid's cells as the page draws them: a
//                           pointer to (N + 2)^2 * 3 bytes, red, green, blue,
//                           row by row from the top, a margin of white cells
//                           round the N x N grid
//   web_picture_side()      N + 2
//   web_colour_scale(k)     draws the grid in colour scale k of the
//                           description's scales (0, the design's black to
//                           red, at start) from the next frame, pictures
//                           included
//   web_colour_table(k)     scale k's 256 colours: a pointer to 768 bytes,
//                           red, green, blue for each red the viewers draw
//   web_second_plot()       the second plot's rows: a pointer to their count,
//                           then the rows, of the description's second_plot
//                           columns
//   web_second_plot_file()  the second plot's file: a pointer to its text
//   web_timers_pending()    a burst's timers still to fire (also in the
//                           snapshot)
// The window:
//   web_redisplay()         asks for a redraw (the page does after a resize
//                           and when its drawing is back after a loss)
//
// The module tells the page, when the page has defined the handlers
// (page_events.js): Module.step_taken(from_timer) after each recorded step
// (from_timer: a burst's timer ran it), and Module.burst_timer_set() as each
// timer of a burst is set. Both come from inside a GLUT callback; the page
// reads the run once that is over, never from the handlers.
#pragma once

// Rows web_run_rows copies at most.
constexpr int web_rows_max_count = 4096;
// Numbers at the head of the snapshot, before the latest row.
constexpr int web_snapshot_head = 6;

extern "C" {
void web_start_run(unsigned int seed);
const double *web_run_snapshot();
const double *web_run_constants();
int web_run_rows(double first, int count);
int web_run_sample(int count);
const double *web_row_buffer();
int web_rows_max();
const double *web_second_plot();
const char *web_second_plot_file();
int web_timers_pending();
const unsigned char *web_picture();
int web_picture_side();
void web_colour_scale(int scale);
const unsigned char *web_colour_table(int scale);
void web_redisplay();
}
