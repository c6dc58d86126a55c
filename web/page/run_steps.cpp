// SPDX-License-Identifier: MIT
#include "web/page/run_steps.h"

#include "measure/run_record.h"
#include "web/page/page_description.h"

#include <GL/freeglut.h>

#include <cstdlib>

static unsigned int seed = 0;

void start_run(unsigned int new_seed)
{
    seed = new_seed;
    srand(seed);
    restart_model();
    record_start(this_page.columns.count);
    glutMouseFunc(page_mouse);
}

unsigned int run_seed()
{
    return seed;
}

static void record_callback_steps(bool from_timer)
{
    double row[record_max_columns];
    if (steps_after_callback(row) > 0) {
        record_add(row);
        step_taken(from_timer ? 1 : 0);
    }
}

void page_mouse(int button, int state, int x, int y)
{
    note_before_callback(false, 0);
    viewer_mouse(button, state, x, y);
    record_callback_steps(false);
}

void page_timer(void (*callback)(int), int value)
{
    note_before_callback(true, value);
    callback(value);
    record_callback_steps(true);
}

void run_now(double *row)
{
    const long held = record_held();
    if (held == 0) {
        measure_model(row);
        return;
    }
    const double *latest = record_held_row(held - 1);
    for (int c = 0; c < this_page.columns.count; c++)
        row[c] = latest[c];
}

long run_sample(long max_rows, double *rows)
{
    const long held = record_held();
    const long count = held < max_rows ? held : max_rows;
    for (long k = 0; k < count; k++) {
        // Spread from the oldest to the latest, both included.
        const long at = count == 1 ? held - 1 : k * (held - 1) / (count - 1);
        const double *row = record_held_row(at);
        for (int c = 0; c < this_page.columns.count; c++)
            rows[k * this_page.columns.count + c] = row[c];
    }
    return count;
}
