// SPDX-License-Identifier: MIT
// The grid's colours: the design's black to red, or another scale of the
// module's (colour_scales.h), chosen on the page and remembered by the
// browser for every page of the site. The module draws with the choice, and
// the picture to save follows it; the legend under the grid shows it, and
// the caption's colour words name it.
import {page} from "./description.js";

const select = document.getElementById("colours");
const legend = document.getElementById("legend");
const remembered = "lattice.colours";
const scales = page.scales;
let chosen = 0;

function remembered_name() {
    try {
        return window.localStorage.getItem(remembered);
    } catch {
        return null; // no storage (a private window may refuse it)
    }
}

// The scale's 256 colours, left to right, and its words for the legend.
function show_legend() {
    const at = Module._web_colour_table(chosen);
    const colours = Module.HEAPU8.subarray(at, at + 768);
    const image = new ImageData(256, 1);
    for (let k = 0; k < 256; k++) {
        image.data.set(colours.subarray(3 * k, 3 * k + 3), 4 * k);
        image.data[4 * k + 3] = 255;
    }
    legend.getContext("2d").putImageData(image, 0, 0);
    const scale = scales[chosen];
    const ends = page.legend_ends;
    const words = [ends[0] + " " + scale.low];
    if (ends[1])
        words.push(ends[1] + " " + scale.middle);
    words.push(ends[2] + " " + scale.high);
    legend.setAttribute("aria-label", "Colours: " + words.join(", "));
}

function choose(k) {
    chosen = k;
    select.value = String(k);
    Module._web_colour_scale(k);
    show_legend();
}

// The choice's options, and the remembered scale applied; called once the
// run has started and before its first frame. chosen_again() is called
// after the user chooses another.
export function start_colours(chosen_again) {
    scales.forEach(function(scale, k) {
        select.append(new Option(scale.label, String(k)));
    });
    choose(Math.max(0, scales.findIndex((scale) => scale.name === remembered_name())));
    select.addEventListener("change", function() {
        choose(Number(select.value));
        try {
            window.localStorage.setItem(remembered, scales[chosen].name);
        } catch {
            // Not remembered, but chosen all the same.
        }
        chosen_again();
    });
}

// The chosen scale's names for the colours at -1, 0 and +1.
export function colour_words() {
    return scales[chosen];
}
