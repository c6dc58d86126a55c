// SPDX-License-Identifier: MIT
// The page around a viewer's module: starts the grid's drawing and keeps
// the grid through a loss of its WebGL context, loads the module (its name is
// the body's data-program), starts the run from the address's seed or the
// clock, and ties the module's news of steps and timers to the page's words,
// plot and table.
"use strict";

(function(lattice) {
const program = document.body.dataset.program;
// The module's .js and .wasm are asked for as of this page's build (the
// "?v=" that the site's stamp gave page.js; see service-worker.js).
lattice.build = new URL(document.currentScript.src).searchParams.get("v");
const of_build = (url) => lattice.build ? url + "?v=" + lattice.build : url;
lattice.of_build = of_build;
const canvas = document.getElementById("canvas");
const status = document.getElementById("status");
const about = document.getElementById("about");
lattice.module_ready = false;
// Whether the run has started (the model as the seed makes it), and
// whether the run's words, table and plot have been set up.
lattice.running = false;
lattice.started = false;

lattice.status = function(text) {
    // A region told the text it holds again stays silent; a no-break space
    // makes it new.
    status.textContent = status.textContent === text ? text + "\u00a0" : text;
};

// The spinner's value as its field shows it.
function spinner_text() {
    const field = document.querySelector("#controls input");
    return field ? field.value : "";
}
lattice.link = function() {
    return lattice.address.link(lattice.run.seed(), spinner_text());
};

// Text for the spinner, committed as if typed there: the spinner's own
// rules; returns what happened in words ("" when taken as it is).
function commit_to_spinner(text) {
    const length = Module.lengthBytesUTF8(text);
    Module.stringToUTF8(text, Module._glui_page_field_text(), 256);
    return Module.UTF8ToString(Module._glui_page_commit_words(0, length));
}

// The explanation starts open on a first visit; closed, it stays closed.
const remembered = program + ".about";
try {
    if (window.localStorage.getItem(remembered) === "closed")
        about.open = false;
    about.addEventListener("toggle", function() {
        window.localStorage.setItem(remembered, about.open ? "open" : "closed");
    });
} catch {
    // No storage (a private window may refuse it): it starts open.
}

const asked = lattice.address.read();
lattice.grid.listen();

function start_drawing() {
    lattice.drawing.start(of_build("webgl_draw.js"), {
        // Browsers take a context away (a GPU reset, a driver update, a phone
        // reclaiming memory) and give it back empty: the module then draws the
        // model as it is.
        restored: function() {
            if (lattice.module_ready)
                Module._web_redisplay();
        },
        failed: function() {
            lattice.status("This browser gives the page no WebGL, so the grid cannot be drawn.");
        },
    });
}

function start_run() {
    // The clock's seconds, as the desktop seeds, unless the address gives one.
    const seed = asked.seed !== null ? asked.seed : Math.floor(Date.now() / 1000) % 2 ** 32;
    Module._web_start_run(seed);
    lattice.running = true;
    // Before the first frame, which is drawn in the chosen colours.
    lattice.colours.start();
    document.getElementById("seed").textContent = "Seed " + lattice.run.seed();
    const notes = [];
    if (asked.value !== null) {
        const said = commit_to_spinner(asked.value);
        if (said)
            notes.push("From the address, " + lattice.address.setting + "=" + said + ".");
    }
    if (asked.ignored.length > 0)
        notes.push("Ignored from the address: " + asked.ignored.join("; ") + ".");
    if (notes.length > 0)
        lattice.status(notes.join(" "));
    // The first frame comes first, and has the processor to itself while
    // it is drawn; the words, table and plot follow, a task at a time, so
    // that none keeps the page from answering for long.
    lattice.drawing.shown().then(() => setTimeout(first_row));
}

function first_row() {
    lattice.measure.take_first_row();
    setTimeout(finish_start);
}

// The grid keeps the size it had: the control panel comes into room kept
// for it beside or under the grid, and the caption into room kept under it.
function finish_start() {
    lattice.measure.start();
    lattice.words.update_caption();
    lattice.take_away.listen();
    lattice.started = true;
}

window.Module = {
    canvas: canvas,
    drawing: lattice.drawing,
    locateFile: (path, prefix) => of_build(prefix + path),
    onRuntimeInitialized: function() {
        lattice.module_ready = true;
    },
    onStep: lattice.words.step_heard,
    onTimerSet: lattice.words.timer_set_heard,
    // The spinner's words on refused or limited text.
    gluiSay: lattice.status,
    postRun: [start_run],
};
// The view's texts and size, the drawing and the module, in a task after
// the script's own: the view is shown once sized (grid.js), the canvas
// sized before the drawing takes it.
setTimeout(function() {
    lattice.measure.prepare();
    lattice.grid.fit();
    start_drawing();
    const script = document.createElement("script");
    script.src = of_build(program + ".js");
    script.onerror = function() {
        lattice.status("Could not load " + script.src + ".");
    };
    document.body.appendChild(script);
});
})(globalThis.lattice = globalThis.lattice || {});
