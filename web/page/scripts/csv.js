// SPDX-License-Identifier: MIT
// The run's data as a CSV file that a spreadsheet opens: a header of "#"
// lines that say what the run was and what each column means, then a row
// per recorded step, every number as text that reads back exactly.
import {round_trip_text, whole} from "./format.js";

// A comment line of the file; commas would split it over a spreadsheet's
// columns.
function comment(text) {
    return "# " + text.replace(/,/g, ";") + "\n";
}

// The file's text, in parts (for a Blob). run: {page (the description),
// constants ({name: number}), first_row (the model before the first step),
// seed, link (this run again), build, address (the page's origin and path),
// steps, thinning (null, or {from, stride}), summary ({name: number or
// text}, as it stands when the file is saved), each_row(f) (calls f for
// every held row, oldest first)}.
export function csv_parts(run) {
    const page = run.page;
    const step = page.step;
    const parts = [
        comment(page.program + ": " + page.model),
        comment("build " + (run.build || "unstamped") + "; page " + run.address),
        comment("seed " + run.seed + " (this run again: " + run.link + ")"),
        comment("constants: " +
                page.constants
                    .map((c) => c.name + " = " + round_trip_text(run.constants[c.name]) + " (" +
                                c.meaning + ")")
                    .join("; ")),
        comment("before the first " + step + ": " +
                page.columns.slice(1)
                    .map((c) => c.name + " = " + round_trip_text(run.first_row[c.name]))
                    .join("; ")),
        comment("columns:"),
    ];
    for (const c of page.columns)
        parts.push(comment("  " + c.name + (c.unit ? " (" + c.unit + ")" : "") + ": " + c.meaning));
    parts.push(comment("summary when saved:"));
    for (const n of page.summary) {
        const value = run.summary[n.name];
        const text = n.kind === "text" ? value || "none" : round_trip_text(value);
        parts.push(comment("  " + n.name + (n.unit ? " (" + n.unit + ")" : "") + " = " + text +
                           ": " + n.meaning));
    }
    if (!run.thinning)
        parts.push(
            comment("rows: one per " + step + ", " + whole(run.steps) + " in all; none thinned"));
    else
        parts.push(comment("rows: thinned: of " + step + "s 1 to " + whole(run.thinning.from) +
                           " one in " + whole(run.thinning.stride) + " is kept; from " + step +
                           " " + whole(run.thinning.from + 1) + " to " + whole(run.steps) +
                           " every one"));
    parts.push(page.columns.map((c) => c.name).join(",") + "\n");
    let lines = [];
    run.each_row(function(row) {
        lines.push(
            page.columns
                .map((c) => c.kind === "whole" ? String(row[c.name]) : round_trip_text(row[c.name]))
                .join(","));
        if (lines.length === 4096) {
            parts.push(lines.join("\n") + "\n");
            lines = [];
        }
    });
    if (lines.length > 0)
        parts.push(lines.join("\n") + "\n");
    return parts;
}
