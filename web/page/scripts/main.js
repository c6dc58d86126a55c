// SPDX-License-Identifier: MIT
// The page around a viewer's module: starts the grid's drawing and keeps
// the grid through a loss of its drawing context, loads the module (its name
// is the description's program), starts the run from the address's seed or
// the clock, and ties the module's news of steps and timers to the page's
// words, plot and table.
import {ignored_words, link, read_address} from "./address.js";
import {say_in} from "./announce.js";
import {
    burst_timer_set,
    follow_caption,
    longest_caption,
    step_taken,
    update_caption
} from "./caption.js";
import {start_colours} from "./colours.js";
import {page} from "./description.js";
import {grouped} from "./format.js";
import {fit, listen_to_grid} from "./grid.js";
import {drawing} from "./grid_drawing.js";
import {
    commit_to_spinner,
    current,
    quote,
    run_changed,
    start_reading,
    take_first_row
} from "./module_run.js";
import {fit_plot, plot_soon, prepare_plot, start_plot} from "./plot.js";
import {fit_second_plot, prepare_second_plot, update_second_plot} from "./side_plot.js";
import {fit_table, prepare_table, update_table} from "./table.js";
import {csv, listen_to_take_away} from "./take_away.js";

// The module's .js and .wasm are asked for as of this page's build (the
// "?v=" that the site's stamp gave page.js; see service-worker.js).
const build = new URL(document.currentScript.src).searchParams.get("v");
const of_build = (url) => build ? url + "?v=" + build : url;
const canvas = document.getElementById("canvas");
const status = document.getElementById("status");
const about = document.getElementById("about");
let module_ready = false;
// The run has started: the model is as the seed makes it.
let run_started = false;

// What the tests and the benchmarks look at, and where the grid's drawing
// puts itself when it runs on this page (webgl_draw.js).
const published = globalThis.lattice = globalThis.lattice || {};
let settle = null;
Object.assign(published, {
    started: false,
    // Settles once the table has its first numbers: the page's start is over.
    settled: new Promise((resolve) => settle = resolve),
    drawing: drawing,
    // What the module holds now, read afresh: a test may have changed it
    // behind the page's back.
    run: {
        current: () => {
            run_changed();
            return current();
        },
        now: () => current().now,
        summary: () => current().summary,
    },
    words: {
        update_caption: () => {
            run_changed();
            update_caption();
        },
    },
    take_away: {csv: csv},
    grouped: grouped,
});

function say_status(text) {
    say_in(status, text);
}

// The spinner's value as its field shows it.
function spinner_text() {
    const field = document.querySelector("#controls input");
    return field ? field.value : "";
}
function run_link() {
    return link(window.location.href, page.setting, current().seed, spinner_text());
}

// The explanation starts open on a first visit; closed, it stays closed.
const remembered = page.program + ".about";
try {
    if (window.localStorage.getItem(remembered) === "closed")
        about.open = false;
    about.addEventListener("toggle", function() {
        window.localStorage.setItem(remembered, about.open ? "open" : "closed");
    });
} catch {
    // No storage (a private window may refuse it): it starts open.
}

const asked = read_address(window.location.search, page.setting);
listen_to_grid({
    longest_caption: longest_caption,
    redisplay: function() {
        if (module_ready)
            Module._web_redisplay();
    },
    fitted: function() {
        fit_plot();
        fit_second_plot();
        fit_table();
    },
});

function start_drawing() {
    drawing.start(of_build("webgl_draw.js"), {
        // Browsers take a context away (a GPU reset, a driver update, a phone
        // reclaiming memory) and give it back empty: the module then draws the
        // model as it is.
        restored: function() {
            if (module_ready)
                Module._web_redisplay();
        },
        failed: function() {
            say_status("This browser gives the page nothing to draw the grid with.");
        },
    });
}

function start_run() {
    // The clock's seconds, as the desktop seeds, unless the address gives one.
    const seed = asked.seed !== null ? asked.seed : Math.floor(Date.now() / 1000) % 2 ** 32;
    Module._web_start_run(seed);
    start_reading();
    run_started = true;
    // Before the first frame, which is drawn in the chosen colours.
    start_colours(update_caption);
    document.getElementById("seed").textContent = "Seed " + current().seed;
    const notes = [];
    if (asked.value !== null) {
        const said = commit_to_spinner(asked.value);
        if (said)
            notes.push("From the address, " + page.setting + "=" + said + ".");
    }
    if (asked.ignored.length > 0)
        notes.push("Ignored from the address: " + ignored_words(asked.ignored, quote).join("; ") +
                   ".");
    if (notes.length > 0)
        say_status(notes.join(" "));
    // The first frame comes first, and has the processor to itself while
    // it is drawn; the words, table and plot follow, a task at a time, so
    // that none keeps the page from answering for long.
    drawing.shown().then(() => setTimeout(first_row));
}

function first_row() {
    take_first_row();
    setTimeout(finish_start);
}

// The grid keeps the size it had: the control panel comes into room kept
// for it beside or under the grid, and the caption into room kept under it.
function finish_start() {
    start_plot();
    follow_caption({
        caption_shown: function(run) {
            update_table(run);
            update_second_plot(run);
        },
        steps_taken: () => plot_soon(),
    });
    update_caption();
    listen_to_take_away({build: build, link: run_link, say: say_status});
    published.started = true;
    settle();
}

window.Module = {
    canvas: canvas,
    drawing: drawing,
    locateFile: (path, prefix) => of_build(prefix + path),
    onRuntimeInitialized: function() {
        module_ready = true;
    },
    // The module's news (page_events.js): each only taken note of here.
    step_taken: function(from_timer) {
        if (run_started)
            step_taken(from_timer);
    },
    burst_timer_set: burst_timer_set,
    // The spinner's words on refused or limited text.
    gluiSay: say_status,
    postRun: [start_run],
};
// The view's texts and size, the drawing and the module, in a task after
// the script's own: the view is shown once sized (grid.js), the canvas
// sized before the drawing takes it.
setTimeout(function() {
    prepare_table();
    prepare_plot(of_build);
    prepare_second_plot();
    fit();
    start_drawing();
    const script = document.createElement("script");
    script.src = of_build(page.program + ".js");
    script.onerror = function() {
        say_status("Could not load " + script.src + ".");
    };
    document.body.appendChild(script);
});
