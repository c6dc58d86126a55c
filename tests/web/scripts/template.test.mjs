// SPDX-License-Identifier: MIT
// The page's texts from its description's templates, without a browser.
import assert from "node:assert/strict";
import test from "node:test";

import {fill, holds} from "../../../web/page/scripts/template.js";

const float_text = (x) => "f" + x;

test("fields take their formats, and pieces show only when their condition holds", () => {
    const pieces = [
        {when: "", text: "Sweep {sweep:whole}"},
        {when: "sweep>0", text: " at {T:plain}"},
        {when: "", text: ": m {m:signed2}, e {e:fixed3}, a {a:float}, t {t:grouped1}, {c:plain}"},
    ];
    const values = {sweep: 12345, T: 2, m: -0.5, e: -1.7456, a: 1.5, t: 1234.56, c: "red"};
    assert.equal(fill(pieces, values, float_text),
                 "Sweep 12,345 at 2: m \u22120.50, e \u22121.746, a f1.5, t 1,234.6, red");
    assert.equal(fill(pieces, Object.assign({}, values, {sweep: 0}), float_text),
                 "Sweep 0: m \u22120.50, e \u22121.746, a f1.5, t 1,234.6, red");
});

test("conditions tell zero, finite, NaN and numbers apart", () => {
    const values = {zero: 0, one: 1, nan: NaN, inf: Infinity};
    const table = [
        ["zero>0", false], ["one>0", true], ["zero=0", true], ["one=0", false],
        ["one finite", true], ["inf finite", false], ["nan finite", false],
        ["inf not finite", true], ["nan not finite", true], ["nan nan", true], ["inf nan", false],
        ["inf number", true], ["nan number", false], ["", true]
    ];
    for (const [when, expected] of table)
        assert.equal(holds(when, values), expected, when);
});

test("a name or format the page does not have fails loudly, not as text", () => {
    assert.throws(() => fill([{when: "", text: "{missing:whole}"}], {}, float_text), /missing/);
    assert.throws(() => fill([{when: "", text: "{x:bold}"}], {x: 1}, float_text), /bold/);
    assert.throws(() => holds("x<0", {x: 1}), /x<0/);
    assert.throws(() => holds("y>0", {}), /y/);
});
