// SPDX-License-Identifier: MIT
// The data file's text, without a browser: its header says what the run
// was, the summary as it stood, and how rows were kept; each row reads back.
import assert from "node:assert/strict";
import test from "node:test";

import {csv_parts} from "../../../web/page/scripts/csv.js";

const page = {
    program: "lattice",
    model: "a test model, with commas",
    step: "sweep",
    constants: [{name: "N", meaning: "cells"}],
    columns: [
        {name: "sweep", unit: "", meaning: "sweeps so far", kind: "whole"},
        {name: "e", unit: "J", meaning: "energy, per spin", kind: "real"},
    ],
    summary: [
        {name: "mean_e", unit: "J", meaning: "mean energy", kind: "real"},
        {name: "verdict_e", unit: "", meaning: "against u(T)", kind: "text"},
    ],
};

function file_of(run) {
    return csv_parts(Object.assign({
               page: page,
               constants: {N: 2500},
               first_row: {sweep: 0, e: 0.1},
               seed: 7,
               link: "http://127.0.0.1/x.html?seed=7",
               build: null,
               address: "http://127.0.0.1/x.html",
               steps: 2,
               thinning: null,
               summary: {mean_e: -1 / 3, verdict_e: "differs by 7.3\u03c3"},
               each_row: (each) => [{sweep: 1, e: -0.1}, {sweep: 2, e: 1 / 3}].forEach(each),
           },
                                   run))
        .join("");
}

test("the header says the run, its summary when saved, and every row reads back", () => {
    const lines = file_of({}).split("\n");
    assert.equal(lines[0], "# lattice: a test model; with commas");
    assert.ok(lines.includes("# build unstamped; page http://127.0.0.1/x.html"));
    assert.ok(lines.includes("# before the first sweep: e = 0.10000000000000001"));
    const summary = lines.indexOf("# summary when saved:");
    assert.deepEqual(lines.slice(summary + 1, summary + 3), [
        "#   mean_e (J) = -0.33333333333333331: mean energy",
        "#   verdict_e = differs by 7.3\u03c3: against u(T)",
    ]);
    assert.ok(lines.includes("# rows: one per sweep; 2 in all; none thinned"));
    assert.deepEqual(lines.slice(-4),
                     ["sweep,e", "1,-0.10000000000000001", "2,0.33333333333333331", ""]);
    // No comment line holds a comma a spreadsheet would split it at.
    assert.ok(lines.filter((line) => line.startsWith("#")).every((line) => !line.includes(",")));
});

test("thinned rows are said, with where every row is kept from", () => {
    const text = file_of({steps: 200000, thinning: {from: 68928, stride: 32}});
    assert.match(
        text,
        /# rows: thinned: of sweeps 1 to 68;928 one in 32 is kept; from sweep 68;929 to 200;000 every one\n/);
});
