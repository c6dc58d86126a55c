// SPDX-License-Identifier: MIT
// The run, plotted: a live plot of the run's rows (uPlot), with dashed
// reference lines from theory. The plot is made at the first step (before
// it, there is one point to plot), and its library loaded then, so that a
// page's start does not wait for either; it redraws at most four times a
// second while steps run and never at rest.
import {page} from "./description.js";
import {current, first_row_taken, sample} from "./module_run.js";

const plot_box = document.getElementById("plot");
const plot_says = document.getElementById("plot-says");
const plot_interval = 250;
const sample_rows = 1000;

let plot = null;
let plot_asked = false;
// Settles once the plot's library has loaded, or failed to.
let library_loaded = null;
export const plot_library = new Promise((resolve) => library_loaded = resolve);
let plotted_at = -Infinity;
let plot_timer = 0;
let of_build = (url) => url;

function plot_size() {
    const width = Math.floor(plot_box.getBoundingClientRect().width);
    return {width: Math.max(200, width), height: Math.floor(plot_box.clientHeight) || 224};
}

// A line's value at row: a column's, or else the summary's; "-name" its
// negative.
function value_of(line, row, summary) {
    const negative = line.value.startsWith("-");
    const name = negative ? line.value.slice(1) : line.value;
    const x = name in row ? row[name] : summary[name];
    return negative ? -x : x;
}

function plot_data() {
    const rows = sample(sample_rows);
    // The run starts at the state before the first step.
    rows.unshift(first_row_taken());
    const summary = current().summary;
    const x = page.axes[0].name;
    return [
        rows.map((row) => row[x]),
        ...page.lines.map((line) => rows.map((row) => value_of(line, row, summary)))
    ];
}

// uPlot's series for a line of the description: theory thin and dashed,
// points as given.
export function series_of(line, points) {
    return {
        label: line.label,
        stroke: line.colour,
        width: line.dashed ? 1 : 1.5,
        dash: line.dashed ? [6, 4] : undefined,
        scale: line.axis,
        points: points,
    };
}

// The legend, in words and marks: the figure's caption.
function say_legend() {
    for (const line of page.lines) {
        if (!line.label)
            continue;
        const item = document.createElement("span");
        const mark = document.createElement("span");
        mark.className = line.dashed ? "mark dashed" : "mark";
        mark.style.color = line.colour;
        item.append(mark, line.label + " ");
        plot_says.append(item);
    }
    const shaded = page.shade_from ? " Shaded: the start the averages leave out." : "";
    plot_says.append(document.createElement("br"),
                     page.plot_words + shaded + " The numbers " +
                         "are in the table below and in the data file.");
}

// uPlot's scales and axes from the description's axes: fixed ends where
// given, else the data's, a right-hand axis for each but the first two.
function scales_and_axes() {
    const scales = {};
    const axes = [];
    page.axes.forEach(function(axis, k) {
        const name = k === 0 ? "x" : axis.name;
        const scale = k === 0 ? {time: false} : {};
        if (k > 0 && axis.low !== null && axis.high !== null)
            scale.range = [axis.low, axis.high];
        else if (k > 0 && axis.low !== null)
            scale.range = (made, least, most) => [axis.low, Math.max(axis.least_high, most)];
        scales[name] = scale;
        const shown = {label: axis.label};
        if (k > 0)
            shown.scale = name;
        if (k > 1)
            Object.assign(shown, {side: 1, grid: {show: false}});
        axes.push(shown);
    });
    return {scales: scales, axes: axes};
}

// uPlot formats its axes' numbers for the browser's language as it loads,
// and throws on a tag it cannot read ("C", "", ...). Such a browser's
// language is taken to be English for the plot: a check of the tag's form
// alone, which loads no locale's data.
function readable_language() {
    try {
        Intl.getCanonicalLocales(navigator.language);
    } catch {
        Object.defineProperty(navigator, "language", {value: "en-US", configurable: true});
    }
}

// The stretch of the run the averages leave out, shaded behind the lines.
const shade = {
    hooks: {
        drawClear: [function(made) {
            if (!page.shade_from)
                return;
            const summary = current().summary;
            const from = summary[page.shade_from];
            const to = summary[page.shade_to];
            if (!(Number.isFinite(from) && Number.isFinite(to) && to > from))
                return;
            const left = made.valToPos(from, "x", true);
            const right = made.valToPos(to, "x", true);
            const box = made.bbox;
            made.ctx.save();
            made.ctx.fillStyle = "rgba(0, 0, 0, 0.08)";
            made.ctx.fillRect(Math.max(box.left, left), box.top,
                              Math.min(box.left + box.width, right) - Math.max(box.left, left),
                              box.height);
            made.ctx.restore();
        }],
    },
};

function make_plot() {
    if (typeof uPlot !== "function") {
        plot_box.textContent = "No plot: its library did not load. The table below and the data " +
                               "file have the numbers.";
        return;
    }
    const options = Object.assign(plot_size(), scales_and_axes(), {
        plugins: [shade],
        legend: {show: false},
        cursor: {show: false},
        series: [{label: page.axes[0].label}].concat(
            page.lines.map((line) => series_of(line, {show: false}))),
    });
    // Made here, put on the page and first drawn in a task of its own: each
    // half takes a while.
    try {
        new uPlot(options, plot_data(), function(made, init) {
            setTimeout(function() {
                plot_box.replaceChildren(made.root);
                init();
                plot = made;
                plotted_at = performance.now();
            });
        });
    } catch (error) {
        plot_box.textContent = "No plot: its library failed (" + error.message + "). The table " +
                               "below and the data file have the numbers.";
    }
}

// Loads the plot's library, as of the page's build, then makes the plot.
function ask_for_plot() {
    plot_asked = true;
    readable_language();
    const library = document.createElement("script");
    library.src = of_build("uPlot.iife.min.js");
    library.addEventListener("load", () => setTimeout(function() {
                                         make_plot();
                                         library_loaded();
                                     }));
    library.addEventListener("error", function() {
        make_plot();
        library_loaded();
    });
    document.head.append(library);
}

function draw_plot() {
    plot_timer = 0;
    plotted_at = performance.now();
    if (plot)
        plot.setData(plot_data());
}

// The plot's caption, there before the view is first shown; build_url(url)
// gives a file's address as of the page's build.
export function prepare_plot(build_url) {
    of_build = build_url;
    say_legend();
}

// Once the run has started: where the plot will be.
export function start_plot() {
    plot_box.textContent = page.first_plot_text;
}

export function fit_plot() {
    if (plot)
        plot.setSize(plot_size());
}

// A redraw of the plot, at most four times a second; the first step makes
// it.
export function plot_soon() {
    if (!plot_asked)
        ask_for_plot();
    if (!plot_timer)
        plot_timer =
            setTimeout(draw_plot, Math.max(0, plotted_at + plot_interval - performance.now()));
}
