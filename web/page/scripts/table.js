// SPDX-License-Identifier: MIT
// The table of what was measured beside the exact answer, with its caption,
// note and the note on thinned rows; it follows the caption (caption.js).
import {page} from "./description.js";
import {fixed, whole, with_error} from "./format.js";
import {first_row_taken, float_text} from "./module_run.js";
import {fill} from "./template.js";

const table = document.getElementById("averages");
const table_says = document.getElementById("averages-says");
const table_note = document.getElementById("averages-note");
const exact_heading = document.getElementById("exact-heading");
const thinned = document.getElementById("thinned");

function row_of_table(description) {
    const tr = document.createElement("tr");
    const th = document.createElement("th");
    th.scope = "row";
    th.textContent = description.label + (description.unit ? " (" + description.unit + ")" : "");
    tr.append(th, document.createElement("td"), document.createElement("td"),
              document.createElement("td"));
    return tr;
}

function note_text(values, float_text_of) {
    return page.table_note + fill(page.notes, values, float_text_of);
}

// What does not wait for the module, there before the view is first shown:
// the heading, the note and a row for each quantity, so that nothing moves
// when the numbers come.
export function prepare_table() {
    exact_heading.textContent = page.exact_heading;
    table_note.textContent = page.table_note;
    for (const description of page.table)
        table.tBodies[0].append(row_of_table(description));
}

// Room for the table's caption and note with every addition they can have,
// so that none moves anything.
export function fit_table() {
    const says = table_says.textContent;
    table_says.style.minHeight = "";
    table_says.textContent = fill(page.table_says, page.longest, String);
    table_says.style.minHeight = Math.ceil(table_says.getBoundingClientRect().height) + "px";
    table_says.textContent = says;
    const text = table_note.textContent;
    table_note.style.minHeight = "";
    table_note.textContent = note_text(page.longest, String);
    table_note.style.minHeight = Math.ceil(table_note.getBoundingClientRect().height) + "px";
    table_note.textContent = text;
}

// The numbers of run (module_run.js's current()).
export function update_table(run) {
    if (!first_row_taken())
        return;
    const values = Object.assign({}, run.summary, run.now);
    Array.from(table.tBodies[0].rows).forEach(function(tr, k) {
        const d = page.table[k];
        const sigma = d.sigma ? run.summary[d.sigma] : NaN;
        tr.cells[1].textContent = with_error(run.summary[d.measured], sigma, page.places);
        const exact = d.exact ? run.summary[d.exact] : NaN;
        tr.cells[2].textContent = Number.isNaN(exact) ? "\u2014" : fixed(exact, page.places);
        tr.cells[3].textContent = (d.verdict && run.summary[d.verdict]) || "\u2014";
    });
    table_says.textContent = fill(page.table_says, values, float_text);
    table_note.textContent = note_text(run.summary, float_text);
    thinned.hidden = !run.thinning;
    if (run.thinning)
        thinned.textContent = "Rows before " + page.step + " " + whole(run.thinning.from + 1) +
                              " are thinned to one in " + whole(run.thinning.stride) +
                              " (in the plot, the averages and the data file); every later one " +
                              "is kept.";
}
