// SPDX-License-Identifier: MIT
// What a program's page part tells the pages: one description of
// everything the page shows of its program (texts, numbers, table, plot),
// and the few functions that measure the model. Each program defines
// `this_page` and the functions at the end in its own folder
// (spingrid/page_*.cpp, fieldgrid/page_*.cpp); the pages' shared part
// (run_steps.h, page_exports.h) and the build's page writer
// (describe_page.cpp) read nothing else of the program.
//
// Texts are UTF-8. A template is text with fields {name:format}, where name
// is a column, a summary number, a constant, or "colour" (the chosen colour
// scale's word for +1), and format one of:
//   whole     a whole number in groups of three ("12,345")
//   plain     the number as JavaScript writes it ("2")
//   float     as the spinner's field shows a float ("1.5")
//   signedN   N decimals with a sign, a real minus ("+0.12", "−0.50")
//   fixedN    N decimals, a real minus for negatives, a dash for no number
//   groupedN  N decimals, the whole part in groups of three
// A text_piece is shown only when its condition holds: "" always,
// "name>0", "name=N" (N a whole number), "name finite", "name not finite",
// "name nan" or "name number" (not NaN).
#pragma once

// How a number is written into the file: a whole number as it is, a real
// one with 17 significant digits; a text is no number but words the module
// made (a summary's verdict), which the module hands over as a pointer to
// UTF-8 text in its memory.
enum number_kind { real_number, whole_number, text_number };

// A number the page shows, records or writes into its file.
struct described_number {
    const char *name;    // how the page's templates and the file's header row name it
    const char *label;   // how the page shows it ("magnetisation m")
    const char *unit;    // "" for none
    const char *meaning; // a sentence for the file's header
    number_kind kind;
};

struct text_piece {
    const char *when; // "" always, or a condition (above)
    const char *text; // a template
};

// A row of the table of averages: the names of its summary numbers, the
// measured value, its standard error, the exact value and the verdict (a
// text); "" where there is none.
struct table_row {
    const char *label;
    const char *unit;
    const char *measured;
    const char *sigma;
    const char *exact;
    const char *verdict;
};

// A line of the plot: what it draws at each recorded row.
struct plot_line {
    const char *label;  // "" leaves it out of the legend (the second of a pair)
    const char *colour; // CSS colour
    const char *value;  // a column's or summary number's name, "-name" for its negative
    const char *axis;   // "y" (left) or the name of a right-hand axis
    bool dashed;        // theory
};

// An axis of the plot. low and high are fixed ends; a NaN end follows the
// data, high then at least least_high.
struct plot_axis {
    const char *name; // "x", "y" or a right-hand axis's
    const char *label;
    double low, high, least_high;
};

// A value that a template field may take, for the room kept for the
// longest text: {name, value}.
struct sample_value {
    const char *name;
    double value;
};

template <typename T> struct list_of {
    const T *items;
    int count;
};

// A second, small plot of rows the program makes itself (second_plot_rows),
// and the file they make (second_plot_file).
struct side_plot {
    const char *title; // its heading ("" for none: no second plot)
    const char *words; // what it shows, for its caption
    const char *x_label, *y_label;
    list_of<described_number> columns; // of a row; the first is x
    list_of<plot_line> lines;          // values from columns; axis "y"
    const char *file_button;           // "Download growth rates (CSV)"
    const char *file_name;             // the file's name after program-seed-, before .csv
    list_of<text_piece> says;          // under the plot, from the summary
};

struct page_description {
    const char *program;               // "spingrid"
    const char *summary_line;          // the page's description for search engines and the manifest
    const char *model;                 // what the file says the run is, on its first line
    const char *step;                  // "sweep"
    const char *steps;                 // "sweeps"
    const char *presses;               // the line under the heading: what the presses do
    const char *setting;               // the spinner's name in the page's address ("temperature")
    const char *legend_ends[3];        // the legend's values at its ends and middle ("" for none)
    const char *legend_words;          // the legend in words, in the design's colours
    const char *exact_heading;         // the table's third column
    const char *table_note;            // under the table
    const char *plot_words;            // what the plot shows, for its caption
    const char *first_plot_text;       // where the plot will be, before the first step
    int places;                        // decimals of the table's numbers
    list_of<described_number> columns; // a recorded row; the first is the step's number
    list_of<described_number> summary; // page_summary's numbers
    list_of<described_number> constants; // the model's constants
    list_of<text_piece> caption;         // under the grid, from the latest row
    list_of<text_piece> table_says;      // the table's caption
    list_of<text_piece> notes;           // after the table's note, when they hold
    list_of<table_row> table;
    list_of<plot_axis> axes; // the first is x, labelled by its column's name
    list_of<plot_line> lines;
    list_of<sample_value> longest; // the values of the longest caption and notes
    // Summary numbers: the plot shades the run from one to the other (along
    // x) when both are finite; "" for no shading.
    const char *shade_from, *shade_to;
    side_plot second_plot;
};

// ---- each program's page part defines these ----

extern const page_description this_page;

// The model's constants as numbers, in this_page.constants' order.
void constant_values(double *values);

// The viewer's mouse and display callbacks, and its grid's cells per side.
extern void (*const viewer_mouse)(int button, int state, int x, int y);
extern void (*const viewer_display)();
extern const int grid_cells_per_side;

// Sets the initial condition again from the generator as now seeded, as the
// viewer's start-up did, and forgets the steps counted.
void restart_model();

// The model as it stands, as a row of this_page.columns.count numbers.
void measure_model(double *row);

// Notes, before a callback of the viewer runs, what tells whether it steps
// and the parameter a step would run with: a timer's value for a timer
// (from_timer), the live parameter for a press.
void note_before_callback(bool from_timer, int timer_value);

// After the callback: the number of steps it ran since the note (0 or 1),
// and when it ran one, the model as it now stands in row.
int steps_after_callback(double *row);

// The summary numbers (this_page.summary.count of them) from the record and
// now, the latest row (run_now). A text_number is the address of text that
// stays until the next call.
void page_summary(const double *now, double *values);

// The second plot's rows (this_page.second_plot.columns.count numbers each),
// at most max of them, into rows; returns how many. And its file, as text
// that stays until the next call. Programs without a second plot return 0
// and "".
int second_plot_rows(double *rows, int max);
const char *second_plot_file();

// ---- the description as text ----

// The description as JSON, made once:
//   {"program", "summary_line", "model", "step", "steps", "presses",
//    "setting", "legend_ends": [3], "legend_words", "exact_heading",
//    "table_note", "plot_words", "first_plot_text", "places",
//    "columns"/"summary"/"constants": [{"name", "label", "unit", "meaning",
//    "kind": "real", "whole" or "text"}], "caption"/"table_says"/"notes": [{"when", "text"}],
//    "table": [{"label", "unit", "measured", "sigma", "exact", "verdict"}],
//    "axes": [{"name", "label", "low", "high", "least_high"}] (null for NaN),
//    "lines": [{"label", "colour", "value", "axis", "dashed"}],
//    "longest": {name: value}, "shade_from", "shade_to", "second_plot":
//    {"title", "words", "x_label", "y_label", "columns", "lines",
//    "file_button", "file_name", "says"}, "scales": [{"name", "label", "low", "middle",
//    "high"}] (common/colour_scales.h)}
const char *description_json(const page_description &page);
