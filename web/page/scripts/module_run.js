// SPDX-License-Identifier: MIT
// The run as the page's module records it (page_exports.h), read by name:
// the description names every number once, and the page reads each by that
// name. The module only says that steps happened or timers were set
// (page_events.js); the page reads the run here, once a refresh asks, and
// keeps what it read until the run changes.
import {page} from "./description.js";

const head = ["steps", "held", "whole_from", "stride", "timers_pending", "seed"];
let snapshot = null;
let first_row = null;
let buffer = 0;
let buffer_rows = 0;
// Whether the module has started the run, and so can be read.
let reading = false;

// The numbers from double index at on, in the order of list, by name; a
// text's number is the address of its UTF-8 text in the module's memory.
function named(list, at) {
    const numbers = {};
    list.forEach(function(number, k) {
        const x = Module.HEAPF64[at + k];
        numbers[number.name] = number.kind === "text" ? Module.UTF8ToString(x) : x;
    });
    return numbers;
}

// Rows from the module's row buffer: count rows of the description's columns.
function rows_at(count) {
    const columns = page.columns;
    const rows = [];
    for (let r = 0; r < count; r++)
        rows.push(named(columns, buffer / 8 + r * columns.length));
    return rows;
}

// Once the module has started: what never changes.
export function start_reading() {
    buffer = Module._web_row_buffer();
    buffer_rows = Module._web_rows_max();
    reading = true;
}

// The run changed (a step, a timer set): the next read asks the module.
export function run_changed() {
    snapshot = null;
}

// The run as it stands, read once per change: {steps, held, whole_from,
// stride, timers_pending, seed, thinning (null, or {from, stride}: one in
// stride of the steps before from is held), now (the latest row, or the
// model before the first step), summary}.
export function current() {
    if (snapshot)
        return snapshot;
    const at = Module._web_run_snapshot() / 8;
    snapshot = {};
    head.forEach((name, k) => snapshot[name] = Module.HEAPF64[at + k]);
    snapshot.now = named(page.columns, at + head.length);
    snapshot.summary = named(page.summary, at + head.length + page.columns.length);
    snapshot.thinning =
        snapshot.stride > 1 ? {from: snapshot.whole_from, stride: snapshot.stride} : null;
    return snapshot;
}

export function constants() {
    return named(page.constants, Module._web_run_constants() / 8);
}

// The model as it stood before the first step: taken once the run has
// started, in a task of its own (the module's first measurement takes a
// while), or at the first press if that comes sooner.
export function take_first_row() {
    if (!first_row && reading)
        first_row = current().now;
}

export function first_row_taken() {
    return first_row;
}

// Calls each(row) for every held row, oldest first, in batches of what the
// module's row buffer holds.
export function each_row(each) {
    for (let first = 0, count = 1; count > 0; first += count) {
        count = Module._web_run_rows(first, buffer_rows);
        rows_at(count).forEach(each);
    }
}

// The second plot's rows, of the description's second_plot columns.
export function second_plot_rows() {
    const at = Module._web_second_plot() / 8;
    const columns = page.second_plot.columns;
    const rows = [];
    for (let r = 0; r < Module.HEAPF64[at]; r++)
        rows.push(named(columns, at + 1 + r * columns.length));
    return rows;
}

// The second plot's file, as text.
export function second_plot_file() {
    return text_at(Module._web_second_plot_file());
}

// Up to count rows spread over the run, the latest included.
export function sample(count) {
    return rows_at(Module._web_run_sample(Math.min(count, buffer_rows)));
}

// Text in the module's memory, as a JavaScript string.
function text_at(pointer) {
    return Module.UTF8ToString(pointer);
}

// A float as the spinner's field shows it: the shortest decimal that reads
// back as the same float (the module's rule, the desktop's).
export function float_text(x) {
    return text_at(Module._glui_page_float_text(x));
}

// What a user wrote, quoted as the spinner quotes it in its words.
export function quote(text) {
    return with_text(text, () => text_at(Module._glui_page_quote(Module._glui_page_field_text())));
}

// Puts text into the spinner's field buffer for the call made by then.
function with_text(text, then) {
    Module.stringToUTF8(text, Module._glui_page_field_text(), Module._glui_page_field_text_size());
    return then(Module.lengthBytesUTF8(text));
}

// Text for the spinner, committed as if typed there: the spinner's own
// rules; returns what happened in words ("" when taken as it is).
export function commit_to_spinner(text) {
    return with_text(text, (length) => text_at(Module._glui_page_commit_words(0, length)));
}
