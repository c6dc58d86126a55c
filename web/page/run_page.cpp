// SPDX-License-Identifier: MIT
#include "web/page/run_page.h"

#include "common/colour_scales.h"
#include "measure/run_record.h"

#include <GL/freeglut.h>

#include <cstdlib>

static void nothing(bool) {}

void (*step_recorded)(bool) = nothing;

static unsigned int seed = 0;

void start_run(unsigned int new_seed)
{
    seed = new_seed;
    srand(seed);
    restart_model();
    record_start(run_column_count);
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
        step_recorded(from_timer);
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
    for (int c = 0; c < run_column_count; c++)
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
        for (int c = 0; c < run_column_count; c++)
            rows[k * run_column_count + c] = row[c];
    }
    return count;
}

// The schema's text, made once; the page's texts are far shorter.
static char schema[16384];
static int schema_length = 0;

static void append(const char *text)
{
    while (*text && schema_length < static_cast<int>(sizeof schema) - 1)
        schema[schema_length++] = *text++;
    schema[schema_length] = '\0';
}

// The page's texts hold no control characters; quotes and backslashes are
// escaped all the same.
static void append_string(const char *text)
{
    append("\"");
    for (const char *c = text; *c; c++) {
        const bool escaped = *c == '"' || *c == '\\';
        const char one[3] = {escaped ? '\\' : *c, escaped ? *c : '\0', '\0'};
        append(one);
    }
    append("\"");
}

static void append_field(const char *key, const char *value, bool first = false)
{
    append(first ? "" : ",");
    append_string(key);
    append(":");
    append_string(value);
}

static void append_numbers(const char *key, const page_number *numbers, int count)
{
    append(",");
    append_string(key);
    append(":[");
    for (int k = 0; k < count; k++) {
        append(k > 0 ? ",{" : "{");
        append_field("name", numbers[k].name, true);
        append_field("label", numbers[k].label);
        append_field("unit", numbers[k].unit);
        append_field("meaning", numbers[k].meaning);
        append("}");
    }
    append("]");
}

const char *run_schema()
{
    if (schema_length > 0)
        return schema;
    append("{");
    append_field("program", page_program, true);
    append_numbers("columns", run_columns, run_column_count);
    append_numbers("summary", summary_numbers, summary_count);
    append_numbers("constants", model_constants, constant_count);
    append(",\"table\":[");
    for (int k = 0; k < table_row_count; k++) {
        append(k > 0 ? ",{" : "{");
        append_field("label", table_rows[k].label, true);
        append_field("unit", table_rows[k].unit);
        append_field("measured", table_rows[k].measured);
        append_field("exact", table_rows[k].exact);
        append("}");
    }
    append("],\"scales\":[");
    for (int k = 0; k < colour_scale_count; k++) {
        append(k > 0 ? ",{" : "{");
        append_field("name", colour_scales[k].name, true);
        append_field("label", colour_scales[k].label);
        append_field("low", colour_scales[k].low);
        append_field("middle", colour_scales[k].middle);
        append_field("high", colour_scales[k].high);
        append("}");
    }
    append("]}");
    return schema;
}
