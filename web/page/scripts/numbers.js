// SPDX-License-Identifier: MIT
// The run's numbers as the module records them (page_exports.h), by name:
// the module describes every number once (its schema), and the page reads
// each by the name given there. Also how the page writes numbers in words.
"use strict";

(function(lattice) {
let schema = null;

function described() {
    if (!schema)
        schema = JSON.parse(Module.UTF8ToString(Module._web_run_schema()));
    return schema;
}

// The numbers at pointer, in the order of the schema's list, as an object
// keyed by their names.
function named(list, pointer) {
    const at = pointer / 8;
    const numbers = {};
    list.forEach(function(number, k) {
        numbers[number.name] = Module.HEAPF64[at + k];
    });
    return numbers;
}

// Rows from the module's row buffer: count rows of the schema's columns.
function rows_at(count) {
    const columns = described().columns;
    const at = Module._web_row_buffer() / 8;
    const rows = [];
    for (let r = 0; r < count; r++)
        rows.push(named(columns, 8 * (at + r * columns.length)));
    return rows;
}

lattice.run = {
    schema: described,
    // The latest row, or the model as it stands before the first step.
    now: function() {
        return named(described().columns, Module._web_run_now());
    },
    summary: function() {
        return named(described().summary, Module._web_run_summary());
    },
    constants: function() {
        return named(described().constants, Module._web_run_constants());
    },
    seed: function() {
        return Module._web_run_seed();
    },
    steps: function() {
        return Module._web_run_steps();
    },
    // Whether older rows were thinned, and how: one in stride of the steps
    // before from (counted from 0) is held; null while every step is.
    thinning: function() {
        const stride = Module._web_run_stride();
        return stride > 1 ? {from: Module._web_run_whole_from(), stride: stride} : null;
    },
    // Calls each(row) for every held row, oldest first, in batches of what
    // the module's row buffer holds.
    each_row: function(each) {
        for (let first = 0, count = 1; count > 0; first += count) {
            count = Module._web_run_rows(first, 4096);
            rows_at(count).forEach(each);
        }
    },
    // Up to count rows spread over the run, the latest included.
    sample: function(count) {
        return rows_at(Module._web_run_sample(count));
    },
};

// ---- numbers in words ----
// x rounded to places decimals, its whole part in groups of three as the
// page's English writes them (1,234,567.8). Written out rather than asked of
// Intl: a browser's first locale-aware format loads its locale data, which
// took 30 to 100 ms of the page's start.
lattice.grouped = function(x, places) {
    if (!Number.isFinite(x))
        return String(x);
    const [whole, fraction] = Math.abs(x).toFixed(places).split(".");
    const text = whole.replace(/\B(?=(\d{3})+$)/g, ",") + (fraction ? "." + fraction : "");
    return x < 0 && Number(whole + "." + (fraction || "0")) !== 0 ? "-" + text : text;
};
lattice.whole = function(n) {
    return lattice.grouped(n, 0);
};
// x with places decimals and a sign (a real minus), or what it is when
// it is not a finite number.
lattice.signed = function(x, places) {
    if (Number.isNaN(x))
        return "not a number";
    if (!Number.isFinite(x))
        return x > 0 ? "+infinity" : "\u2212infinity";
    const text = Math.abs(x).toFixed(places);
    return Number(text) === 0 ? text : (x < 0 ? "\u2212" : "+") + text;
};
// x with places decimals, a real minus, and a dash for no number.
lattice.fixed = function(x, places) {
    if (!Number.isFinite(x))
        return Number.isNaN(x) ? "\u2014" : lattice.signed(x, places);
    const text = Math.abs(x).toFixed(places);
    return (x < 0 && Number(text) !== 0 ? "\u2212" : "") + text;
};
// A float as the spinner's field shows it: the shortest decimal that
// reads back as the same float.
lattice.float_text = function(x) {
    for (let digits = 1; digits <= 9; digits++) {
        const text = String(Number(x.toPrecision(digits)));
        if (Math.fround(Number(text)) === Math.fround(x))
            return text;
    }
    return String(x);
};
})(globalThis.lattice = globalThis.lattice || {});
