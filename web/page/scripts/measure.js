// SPDX-License-Identifier: MIT
// The run, measured: a live plot of the run's rows (uPlot), with dashed
// reference lines from theory, and a table of what was measured beside the
// exact answer. The plot is made at the first step (before it, there is one
// point to plot), and its library loaded then, so that a page's start does
// not wait for either; it redraws at most four times a second while steps
// run and never at rest. The table follows the caption (words.js).
"use strict";

(function(lattice) {
const program = document.body.dataset.program;
const plot_box = document.getElementById("plot");
const plot_says = document.getElementById("plot-says");
const table = document.getElementById("averages");
const table_says = document.getElementById("averages-says");
const table_note = document.getElementById("averages-note");
const exact_heading = document.getElementById("exact-heading");
const thinned = document.getElementById("thinned");
const plot_interval = 250;
const sample_rows = 1000;

const theory = "#555";
const layouts = {
    spingrid: {
        x: "sweep",
        x_label: "sweep",
        step_name: "sweep",
        exact_heading: "Exact, infinite lattice",
        table_rows: 4,
        places: 4,
        scales: {x: {time: false}, y: {range: [-2.05, 1.05]}},
        axes: [{label: "sweep"}, {label: "per spin"}],
        // Each series: its label, colour, what it draws from a row and
        // the summary, whether dashed (theory).
        series: [
            {label: "magnetisation m", stroke: "#b00020", of: (row) => row.m},
            {label: "energy e", stroke: "#1f4e9c", of: (row) => row.e},
            {label: "\u00b1m0(T)", stroke: theory, dash: true, of: (row, sum) => sum.m0},
            {label: "", stroke: theory, dash: true, of: (row, sum) => -sum.m0},
            {label: "u(T)", stroke: theory, dash: true, of: (row, sum) => sum.u},
        ],
        says: "Magnetisation and energy per spin against sweeps; dashed, the infinite " +
                  "lattice's exact values at the latest sweep's temperature.",
        table_says: function(summary) {
            return summary.sweeps_used > 0
                       ? "Averaged: the last " + lattice.whole(summary.sweeps_used) +
                             " sweeps, at temperature " + summary.temperature
                       : "Averaged: no sweeps yet";
        },
        note: "The averages take the second half of the sweeps run since the temperature last " +
                  "changed: the first half is the approach to equilibrium.",
        // Below Tc, a lattice far from m0 most likely holds bands.
        hint: function(summary) {
            return summary.temperature < summary.tc && summary.sweeps_used >= 50 &&
                           summary.mean_abs_m < summary.m0 / 2
                       ? " \u27e8|m|\u27e9 is far below m0(T): the lattice may hold bands that " +
                             "wrap round its edges, which can last thousands of sweeps. That is " +
                             "physics, not a fault (see What you see, below)."
                       : "";
        },
        hint_room: {temperature: 1, tc: 2.27, sweeps_used: 50, mean_abs_m: 0, m0: 1},
    },
    fieldgrid: {
        x: "time",
        x_label: "time",
        step_name: "step",
        exact_heading: "Linear theory",
        table_rows: 2,
        places: 3,
        scales: {
            x: {time: false},
            k: {range: (plot, least, most) => [0, Math.max(2.5, most)]},
        },
        axes: [
            {label: "time"}, {label: "field", scale: "y"},
            {label: "wavenumber", scale: "k", side: 1, grid: {show: false}}
        ],
        series: [
            {label: "maximum", stroke: "#b00020", of: (row) => row.max},
            {label: "mean", stroke: "#333", of: (row) => row.mean},
            {label: "minimum", stroke: "#1f4e9c", of: (row) => row.min},
            {label: "wavenumber k\u0304", stroke: "#2e7d32", scale: "k", of: (row) => row.kbar},
            {
                label: "fastest-growing wavenumber",
                stroke: theory,
                dash: true,
                scale: "k",
                of: (row, sum) => sum.k_fastest
            },
        ],
        says: "The field's maximum, mean and minimum (left axis) and the pattern's mean " +
                  "wavenumber (right axis) against time; dashed, the wavenumber the linear " +
                  "rate makes grow fastest.",
        table_says: function(summary, row) {
            return "At step " + lattice.whole(row.step) + ", time " + row.time.toFixed(1) +
                   ", alpha " + lattice.float_text(row.alpha);
        },
        note: "The linear theory's wavenumber is where the step's linear rate L(k) is largest.",
        hint: () => "",
        hint_room: {},
    },
};
const layout = layouts[program];

let plot = null;
let plot_asked = false;
// Settles once the table has its first numbers: the page's start is over.
let started = null;
lattice.settled = new Promise((resolve) => started = resolve);
let first_row = null;
let plotted_at = -Infinity;
let plot_timer = 0;

function plot_size() {
    const width = Math.floor(plot_box.getBoundingClientRect().width);
    return {width: Math.max(200, width), height: Math.floor(plot_box.clientHeight) || 224};
}

function plot_data() {
    const rows = lattice.run.sample(sample_rows);
    // The run starts at the state before the first step.
    rows.unshift(first_row);
    const summary = lattice.run.summary();
    return [
        rows.map((row) => row[layout.x]),
        ...layout.series.map((s) => rows.map((row) => s.of(row, summary)))
    ];
}

// The legend, in words and marks: the figure's caption.
function say_legend() {
    for (const s of layout.series) {
        if (!s.label)
            continue;
        const item = document.createElement("span");
        const mark = document.createElement("span");
        mark.className = s.dash ? "mark dashed" : "mark";
        mark.style.color = s.stroke;
        item.append(mark, s.label + " ");
        plot_says.append(item);
    }
    plot_says.append(document.createElement("br"), layout.says + " The numbers are in the " +
                                                       "table below and in the data file.");
}

function make_plot() {
    if (typeof uPlot !== "function") {
        plot_box.textContent = "No plot: its library did not load. The table below and the data " +
                               "file have the numbers.";
        return;
    }
    const options = Object.assign(plot_size(), {
        legend: {show: false},
        cursor: {show: false},
        scales: layout.scales,
        axes: layout.axes,
        series: [{label: layout.x_label}].concat(
            layout.series.map((s) => ({
                                  label: s.label,
                                  stroke: s.stroke,
                                  width: s.dash ? 1 : 1.5,
                                  dash: s.dash ? [6, 4] : undefined,
                                  scale: s.scale || "y",
                                  points: {show: false},
                              }))),
    });
    // Made here, put on the page and first drawn in a task of its own: each
    // half takes a while.
    new uPlot(options, plot_data(), function(made, init) {
        setTimeout(function() {
            plot_box.replaceChildren(made.root);
            init();
            plot = made;
            plotted_at = performance.now();
        });
    });
}

// Loads the plot's library, as of the page's build, then makes the plot.
function ask_for_plot() {
    plot_asked = true;
    const library = document.createElement("script");
    library.src = lattice.of_build("uPlot.iife.min.js");
    library.addEventListener("load", () => setTimeout(make_plot));
    library.addEventListener("error", make_plot);
    document.head.append(library);
}

function draw_plot() {
    plot_timer = 0;
    plotted_at = performance.now();
    if (plot)
        plot.setData(plot_data());
}

function row_of_table(description) {
    const tr = document.createElement("tr");
    const th = document.createElement("th");
    th.scope = "row";
    th.textContent = description.label + (description.unit ? " (" + description.unit + ")" : "");
    tr.append(th, document.createElement("td"), document.createElement("td"));
    return tr;
}

lattice.measure = {
    // What does not wait for the module, there before the view is first
    // shown: headings, notes, the plot's caption, and a row for each
    // quantity of the table, so that nothing moves when the numbers come.
    prepare: function() {
        exact_heading.textContent = layout.exact_heading;
        table_note.textContent = layout.note;
        say_legend();
        for (let k = 0; k < layout.table_rows; k++)
            table.tBodies[0].append(row_of_table({label: "\u00a0", unit: ""}));
    },
    // The model as it stands before the first step, once the run has
    // started: taken in a task of its own (the module's first measurement
    // takes a while), or at the first press if that comes sooner.
    take_first_row: function() {
        if (!first_row && lattice.running)
            first_row = lattice.run.now();
    },
    // Then fills the table and makes the plot.
    start: function() {
        const body = table.tBodies[0];
        lattice.run.schema().table.forEach(function(description, k) {
            const row = row_of_table(description);
            if (k < body.rows.length)
                body.rows[k].replaceWith(row);
            else
                body.append(row);
        });
        while (body.rows.length > lattice.run.schema().table.length)
            body.deleteRow(-1);
        lattice.measure.update_table();
        plot_box.textContent = "The plot begins with the first " + layout.step_name + ".";
        started();
    },
    // The model as it stood before the first step.
    first_row: function() {
        return first_row;
    },
    fit: function() {
        if (plot)
            plot.setSize(plot_size());
        // Room for the note with its hint, so that a hint moves nothing.
        const text = table_note.textContent;
        table_note.style.minHeight = "";
        table_note.textContent = layout.note + layout.hint(layout.hint_room);
        table_note.style.minHeight = Math.ceil(table_note.getBoundingClientRect().height) + "px";
        table_note.textContent = text;
    },
    // A redraw of the plot, at most four times a second; the first step
    // makes it.
    plot_soon: function() {
        if (!plot_asked)
            ask_for_plot();
        if (!plot_timer)
            plot_timer =
                setTimeout(draw_plot, Math.max(0, plotted_at + plot_interval - performance.now()));
    },
    update_table: function() {
        if (!first_row)
            return;
        const summary = lattice.run.summary();
        const row = lattice.run.now();
        const descriptions = lattice.run.schema().table;
        Array.from(table.tBodies[0].rows).forEach(function(tr, k) {
            const d = descriptions[k];
            tr.cells[1].textContent = lattice.fixed(summary[d.measured], layout.places);
            tr.cells[2].textContent =
                d.exact ? lattice.fixed(summary[d.exact], layout.places) : "\u2014";
        });
        table_says.textContent = layout.table_says(summary, row);
        table_note.textContent = layout.note + layout.hint(summary);
        const thinning = lattice.run.thinning();
        thinned.hidden = !thinning;
        if (thinning)
            thinned.textContent = "Rows before " + layout.step_name + " " +
                                  lattice.whole(thinning.from + 1) + " are thinned to one in " +
                                  lattice.whole(thinning.stride) + " (in the plot, the " +
                                  "averages and the data file); every later one is kept.";
    },
};
})(globalThis.lattice = globalThis.lattice || {});
