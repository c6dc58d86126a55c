// SPDX-License-Identifier: MIT
// What a page's address asks for, and the link that repeats a run, without
// a browser.
import assert from "node:assert/strict";
import test from "node:test";

import {ignored_words, link, read_address} from "../../../web/page/scripts/address.js";

test("a seed and the spinner's value are taken; anything else is ignored with why", () => {
    const asked = read_address("?seed=4294967295&temperature=3", "temperature");
    assert.deepEqual(asked, {seed: 4294967295, value: "3", ignored: []});
    const bad = read_address("?seed=4294967296&seed=1&alpha=2&temperature=" +
                                 "9".repeat(33) + "&x=%3Cb%3E",
                             "temperature");
    assert.equal(bad.seed, null);
    assert.equal(bad.value, null);
    assert.deepEqual(bad.ignored.map((part) => part.why), [
        "a seed is a whole number from 0 to 4,294,967,295", "given twice",
        "this page has no such setting", "too long", "this page has no such setting"
    ]);
    // What the user wrote comes back as text, quoted by the page's rule.
    assert.equal(ignored_words(bad.ignored.slice(4), (text) => "[" + text + "]")[0],
                 "[x]=[<b>] (this page has no such setting)");
});

test("seeds are whole numbers of at most ten digits", () => {
    for (const text of ["-1", "1.5", "1e3", " 1", "", "00000000001"])
        assert.equal(read_address("?seed=" + encodeURIComponent(text), "alpha").seed, null, text);
    assert.equal(read_address("?seed=0000000007", "alpha").seed, 7);
});

test("the link keeps the page and carries only the seed and the setting", () => {
    assert.equal(
        link("http://127.0.0.1:8000/spingrid.html?seed=9&x=1#about", "temperature", 42, "2"),
        "http://127.0.0.1:8000/spingrid.html?seed=42&temperature=2");
    assert.equal(link("https://example.org/a/fieldgrid.html", "alpha", 0, "1.5 "),
                 "https://example.org/a/fieldgrid.html?seed=0&alpha=1.5+");
});
