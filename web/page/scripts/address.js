// SPDX-License-Identifier: MIT
// What the page's address asks for: ?seed=N starts the run from seed N (a
// whole number 0 .. 4294967295), ?temperature= (spingrid) or ?alpha=
// (fieldgrid) the spinner from a value, under the spinner's own rules. What
// the address asks and the page cannot do is said in words and otherwise
// ignored; nothing from the address reaches the page as markup.
"use strict";

(function(lattice) {
const program = document.body.dataset.program;
const setting = {
    spingrid: "temperature",
    fieldgrid: "alpha"
}[program];
const seed_most = 4294967295;
// Longer than any number the spinner takes, or a seed has.
const text_most = 32;

// At most 24 characters of what the address said, to quote it.
function quoted(text) {
    const characters = Array.from(text);
    return characters.length > 24 ? characters.slice(0, 24).join("") + "\u2026" : text;
}

lattice.address = {
    setting: setting,
    // What the address asks: {seed (a number, or null for none), value
    // (text for the spinner, or null), ignored: [words]}.
    read: function() {
        const asked = {seed: null, value: null, ignored: []};
        const seen = new Set();
        for (const [key, text] of new URLSearchParams(window.location.search)) {
            const said = quoted(key) + "=" + quoted(text);
            if (seen.has(key)) {
                asked.ignored.push(said + " (given twice)");
            } else if (key === "seed") {
                if (/^[0-9]{1,10}$/.test(text) && Number(text) <= seed_most)
                    asked.seed = Number(text);
                else
                    asked.ignored.push(said + " (a seed is a whole number from 0 to " +
                                       lattice.whole(seed_most) + ")");
            } else if (key === setting) {
                if (text.length > text_most)
                    asked.ignored.push(said + " (too long)");
                else
                    asked.value = text;
            } else {
                asked.ignored.push(said + " (this page has no such setting)");
            }
            seen.add(key);
        }
        return asked;
    },
    // The page's address with the run's seed and the spinner's value.
    link: function(seed, value) {
        const url = new URL(window.location.href);
        url.search = "";
        url.hash = "";
        url.searchParams.set("seed", String(seed));
        url.searchParams.set(setting, value);
        return url.href;
    },
};
})(globalThis.lattice = globalThis.lattice || {});
