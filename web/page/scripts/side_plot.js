// SPDX-License-Identifier: MIT
// A second, small plot of rows the program makes itself (fieldgrid: the
// growth rate of each shell of wavenumbers against the linear theory), its
// words under it, and the file of its rows. It follows the table: at most
// as often as the caption, and its plot only when its rows changed.
import {page} from "./description.js";
import {float_text, second_plot_rows} from "./module_run.js";
import {plot_library, series_of} from "./plot.js";
import {fill} from "./template.js";

const side = page.second_plot;
const figure = document.getElementById("second-figure");
const box = document.getElementById("second-plot");
const says = document.getElementById("second-says");
let plot = null;
let shown_rows = "";

// Whether the program has a second plot.
export const has_second_plot = side.title !== "";

function plot_width() {
    return Math.max(200, Math.floor(box.getBoundingClientRect().width));
}

function data_of(rows) {
    const x = side.columns[0].name;
    return [
        rows.map((row) => row[x]), ...side.lines.map((line) => rows.map((row) => row[line.value]))
    ];
}

function make(rows) {
    if (typeof uPlot !== "function")
        return;
    const options = {
        width: plot_width(),
        height: Math.floor(box.clientHeight) || 160,
        legend: {show: false},
        cursor: {show: false},
        scales: {x: {time: false}},
        axes: [{label: side.x_label}, {label: side.y_label}],
        series: [{label: side.columns[0].label}].concat(
            side.lines.map((line) => series_of(line, {show: !line.dashed, size: 4}))),
    };
    plot = new uPlot(options, data_of(rows), function(made, init) {
        box.replaceChildren(made.root);
        init();
    });
}

// Its title, legend and room, there before the view is first shown.
export function prepare_second_plot() {
    if (!has_second_plot)
        return;
    figure.hidden = false;
    document.getElementById("second-title").textContent = side.title;
    box.textContent = "The growth rates come with the first steps.";
    const legend = document.getElementById("second-legend");
    for (const line of side.lines) {
        const mark = document.createElement("span");
        mark.className = line.dashed ? "mark dashed" : "mark";
        mark.style.color = line.colour;
        legend.append(mark, line.label + " ");
    }
    legend.append(document.createElement("br"), side.words);
}

// Room for the longest words the plot can have under it, so that none moves
// anything; and the plot's width.
export function fit_second_plot() {
    if (!has_second_plot)
        return;
    const text = says.textContent;
    says.style.minHeight = "";
    says.textContent = fill(side.says, page.longest, String);
    says.style.minHeight = Math.ceil(says.getBoundingClientRect().height) + "px";
    says.textContent = text;
    if (plot)
        plot.setSize({width: plot_width(), height: Math.floor(box.clientHeight) || 160});
}

// The words from the summary, and the plot when its rows changed.
export function update_second_plot(run) {
    if (!has_second_plot)
        return;
    says.textContent = fill(side.says, Object.assign({}, run.summary, run.now), float_text);
    const rows = second_plot_rows();
    const key = JSON.stringify(rows);
    if (rows.length === 0 || key === shown_rows)
        return;
    shown_rows = key;
    plot_library.then(function() {
        if (plot)
            plot.setData(data_of(rows));
        else
            make(rows);
    });
}
