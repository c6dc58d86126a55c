// SPDX-License-Identifier: MIT
// What the page's address asks for: ?seed=N starts the run from seed N (a
// whole number 0 .. 4294967295), ?<setting>= (the spinner's name, such as
// temperature or alpha) the spinner from a value, under the spinner's own
// rules. What the address asks and the page cannot do is said in words and
// otherwise ignored; nothing from the address reaches the page as markup.
import {whole} from "./format.js";

export const seed_most = 4294967295;
// Longer than any number the spinner takes, or a seed has.
const text_most = 32;

// What the address's query (search, "?seed=1&...") asks of a page whose
// spinner is named setting: {seed (a number, or null for none), value (text
// for the spinner, or null), ignored: [{key, text, why}]}.
export function read_address(search, setting) {
    const asked = {seed: null, value: null, ignored: []};
    const seen = new Set();
    for (const [key, text] of new URLSearchParams(search)) {
        const ignore = (why) => asked.ignored.push({key: key, text: text, why: why});
        if (seen.has(key)) {
            ignore("given twice");
        } else if (key === "seed") {
            if (/^[0-9]{1,10}$/.test(text) && Number(text) <= seed_most)
                asked.seed = Number(text);
            else
                ignore("a seed is a whole number from 0 to " + whole(seed_most));
        } else if (key === setting) {
            if (text.length > text_most)
                ignore("too long");
            else
                asked.value = text;
        } else {
            ignore("this page has no such setting");
        }
        seen.add(key);
    }
    return asked;
}

// The ignored parts in words, each as key=text (why), with quote(text) the
// page's rule for quoting what a user wrote.
export function ignored_words(ignored, quote) {
    return ignored.map((part) => quote(part.key) + "=" + quote(part.text) + " (" + part.why + ")");
}

// The address href with only the run's seed and the spinner's value.
export function link(href, setting, seed, value) {
    const url = new URL(href);
    url.search = "";
    url.hash = "";
    url.searchParams.set("seed", String(seed));
    url.searchParams.set(setting, value);
    return url.href;
}
