// SPDX-License-Identifier: MIT
// What a student takes away: the run's data as a CSV file that a
// spreadsheet opens, the grid as a PNG picture, and a link that repeats the
// run. Everything is made in the page, so it works offline.
"use strict";

(function(lattice) {
const program = document.body.dataset.program;
const words = {
    spingrid: {
        model: "a 50 x 50 periodic lattice of +1/-1 spins (the two-dimensional " +
                   "Ising model) advanced by Metropolis sweeps",
        step: "sweep"
    },
    fieldgrid: {
        model: "a real field on a 64 x 64 periodic grid advanced " +
                   "pseudo-spectrally",
        step: "step"
    },
}[program];
const whole_columns = new Set(["sweep", "temperature", "step", "above_zero"]);

// A number that reads back exactly: 17 significant digits, less the
// trailing zeros of the fraction, which change nothing; whole numbers as
// they are.
function exact(x) {
    if (Number.isInteger(x) && Math.abs(x) < 2 ** 53)
        return String(x);
    if (!Number.isFinite(x))
        return Number.isNaN(x) ? "NaN" : x > 0 ? "Infinity" : "-Infinity";
    const [mantissa, exponent] = x.toPrecision(17).split("e");
    const trimmed = mantissa.includes(".") ? mantissa.replace(/\.?0+$/, "") : mantissa;
    return exponent ? trimmed + "e" + exponent : trimmed;
}

// A comment line of the file; commas would split it over a
// spreadsheet's columns.
function comment(text) {
    return "# " + text.replace(/,/g, ";") + "\n";
}

function download(blob, name) {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

function csv() {
    const run = lattice.run;
    const schema = run.schema();
    const constants = run.constants();
    const steps = run.steps();
    const parts = [
        comment(program + ": " + words.model),
        comment("build " + (lattice.build || "unstamped") + "; page " + window.location.origin +
                window.location.pathname),
        comment("seed " + run.seed() + " (this run again: " + lattice.link() + ")"),
        comment("constants: " +
                schema.constants
                    .map((c) => c.name + " = " + exact(constants[c.name]) + " (" + c.meaning + ")")
                    .join("; ")),
    ];
    const first = lattice.measure.first_row();
    parts.push(comment(
        "before the first " + words.step + ": " +
        schema.columns.slice(1).map((c) => c.name + " = " + exact(first[c.name])).join("; ")));
    parts.push(comment("columns:"));
    for (const c of schema.columns)
        parts.push(comment("  " + c.name + (c.unit ? " (" + c.unit + ")" : "") + ": " + c.meaning));
    const thinning = run.thinning();
    if (!thinning)
        parts.push(comment("rows: one per " + words.step + ", " + lattice.whole(steps) +
                           " in all; none thinned"));
    else
        parts.push(comment(
            "rows: thinned: of " + words.step + "s 1 to " + lattice.whole(thinning.from) +
            " one in " + lattice.whole(thinning.stride) + " is kept; from " + words.step + " " +
            lattice.whole(thinning.from + 1) + " to " + lattice.whole(steps) + " every one"));
    parts.push(schema.columns.map((c) => c.name).join(",") + "\n");
    let lines = [];
    run.each_row(function(row) {
        lines.push(
            schema.columns
                .map((c) => whole_columns.has(c.name) ? String(row[c.name]) : exact(row[c.name]))
                .join(","));
        if (lines.length === 4096) {
            parts.push(lines.join("\n") + "\n");
            lines = [];
        }
    });
    if (lines.length > 0)
        parts.push(lines.join("\n") + "\n");
    return new Blob(parts, {type: "text/csv"});
}

function name_of(extension) {
    return program + "-seed-" + lattice.run.seed() + "-" + words.step + "-" + lattice.run.steps() +
           "." + extension;
}

// The grid as the page draws it, each cell a square of scale pixels, a
// margin of one white cell round it: no smoothing, nothing blurred.
function picture(done) {
    const side = Module._web_picture_side();
    const at = Module._web_picture();
    const cells = Module.HEAPU8.slice(at, at + side * side * 3);
    const scale = Math.max(1, Math.floor(528 / side));
    const canvas = document.createElement("canvas");
    canvas.width = canvas.height = side * scale;
    const context = canvas.getContext("2d");
    const image = context.createImageData(side * scale, side * scale);
    for (let y = 0; y < side * scale; y++)
        for (let x = 0; x < side * scale; x++) {
            const cell = 3 * (Math.floor(y / scale) * side + Math.floor(x / scale));
            const pixel = 4 * (y * side * scale + x);
            image.data[pixel] = cells[cell];
            image.data[pixel + 1] = cells[cell + 1];
            image.data[pixel + 2] = cells[cell + 2];
            image.data[pixel + 3] = 255;
        }
    context.putImageData(image, 0, 0);
    canvas.toBlob(done, "image/png");
}

lattice.take_away = {
    csv: csv,
    exact: exact,
    listen: function() {
        document.getElementById("download-csv").addEventListener("click", function() {
            download(csv(), name_of("csv"));
        });
        document.getElementById("save-png").addEventListener("click", function() {
            const name = name_of("png");
            picture((blob) => download(blob, name));
        });
        document.getElementById("copy-link").addEventListener("click", function() {
            const link = lattice.link();
            const said = function(text) {
                lattice.status(text);
            };
            if (navigator.clipboard && navigator.clipboard.writeText)
                navigator.clipboard.writeText(link).then(
                    () => said("Link copied: " + link),
                    () => said("This browser did not let the page copy; the link is " + link));
            else
                said("The link is " + link);
        });
    },
};
})(globalThis.lattice = globalThis.lattice || {});
