// SPDX-License-Identifier: MIT
// The page's numbers in words and in the data file, without a browser.
import assert from "node:assert/strict";
import test from "node:test";

import {
    fixed,
    grouped,
    round_trip_text,
    signed,
    whole,
    with_error
} from "../../../web/page/scripts/format.js";

test("grouped and whole put commas in threes and keep a minus only where it shows", () => {
    const cases = [
        [0, 0, "0"], [999, 0, "999"], [1000, 0, "1,000"], [1234567.85, 1, "1,234,567.9"],
        [-1234.5, 1, "-1,234.5"], [-0.04, 1, "0.0"], [-0.06, 1, "-0.1"], [NaN, 1, "NaN"],
        [Infinity, 0, "Infinity"]
    ];
    for (const [x, places, text] of cases)
        assert.equal(grouped(x, places), text, String(x));
    assert.equal(whole(9999999), "9,999,999");
});

test("signed and fixed write a real minus, and say what is not a number", () => {
    const cases = [
        [signed, 0.123, 2, "+0.12"], [signed, -0.5, 2, "\u22120.50"], [signed, -0.001, 2, "0.00"],
        [signed, NaN, 2, "not a number"], [signed, -Infinity, 1, "\u2212infinity"],
        [fixed, -1.74556, 4, "\u22121.7456"], [fixed, 0.9993, 4, "0.9993"],
        [fixed, -0.00001, 3, "0.000"], [fixed, NaN, 3, "\u2014"], [fixed, Infinity, 3, "+infinity"]
    ];
    for (const [format, x, places, text] of cases)
        assert.equal(format(x, places), text, format.name + " " + x);
});

test("round_trip_text reads back as the same double in as few digits as hold it", () => {
    for (const x of [0.1, 1 / 3, -2.5e-8, 1e300, 5e-324, 0.30000000000000004, 123456789.125]) {
        const text = round_trip_text(x);
        assert.equal(Number(text), x, text);
        assert.ok(!/\.[0-9]*0(e|$)/.test(text), "no trailing zeros in " + text);
    }
    assert.equal(round_trip_text(2500), "2500");
    assert.equal(round_trip_text(-0.5), "-0.5");
    assert.equal(round_trip_text(NaN), "NaN");
    assert.equal(round_trip_text(-Infinity), "-Infinity");
});

test("with_error shows the error to two significant digits, and the mean to match", () => {
    const cases = [
        [0.91180, 0.0018, 4, "0.9118 \u00b1\u00a00.0018"],
        [0.999272, 0.000033, 4, "0.999272 \u00b1\u00a00.000033"],
        [-1.7455, 0.0022, 4, "\u22121.7455 \u00b1\u00a00.0022"],
        [32.876, 31.43, 4, "32.8760 \u00b1\u00a031.4300"],
        [1e-9, 1e-12, 4, "0.000000 \u00b1\u00a00.000000"], [0.5, 0, 4, "0.5000 \u00b1\u00a00.0000"],
        [0.5, NaN, 4, "0.5000"], [NaN, NaN, 3, "\u2014"]
    ];
    for (const [x, sigma, places, text] of cases)
        assert.equal(with_error(x, sigma, places), text, x + " " + sigma);
});
