// SPDX-License-Identifier: MIT
// The grid in words. A caption under the grid (its accessible description)
// says where the run stands, from the run's latest row: after every step,
// but at most once a second while a burst runs. The status region announces
// a single step's caption, the start of bursts and, when the last burst
// ends, the caption then; while bursts run it speaks at most every few
// seconds. The table of averages follows the caption.
"use strict";

(function(lattice) {
const program = document.body.dataset.program;
const caption = document.getElementById("caption");
const announcer = document.getElementById("announcer");
const caption_interval = 1000;
const quiet_interval = 5000;
const whole = lattice.whole;
const signed = lattice.signed;

const words = {
    spingrid: {
        steps: ["sweep", "sweeps"],
        // colour: the chosen scale's word for +1.
        caption: function(row, constants, colour) {
            const cells = constants.N;
            const at = row.sweep > 0 ? " at temperature " + row.temperature : "";
            return "Sweep " + whole(row.sweep) + at + ": " +
                   whole(Math.round(cells * (1 + row.m) / 2)) + " of " + whole(cells) + " cells " +
                   colour + ", magnetisation " + signed(row.m, 2) + ", energy " + signed(row.e, 3) +
                   " per spin";
        },
        longest: {sweep: 9999999, temperature: 4, m: -1, e: -2},
    },
    fieldgrid: {
        steps: ["step", "steps"],
        caption: function(row, constants) {
            const time = lattice.grouped(row.time, 1);
            const range = Number.isNaN(row.min)
                              ? "some cells not a number"
                              : "field from " + signed(row.min, 2) + " to " + signed(row.max, 2);
            const kbar = Number.isFinite(row.kbar) ? row.kbar.toFixed(3) : "none";
            return "Step " + whole(row.step) + ", time " + time + ", alpha " +
                   lattice.float_text(row.alpha) + ": " + whole(row.above_zero) + " of " +
                   whole(constants.grid * constants.grid) + " cells above zero, " + range +
                   ", mean " + signed(row.mean, 2) + ", RMS " + row.rms.toFixed(2) +
                   ", wavenumber " + kbar + " per cell";
        },
        longest: {
            step: 9999999,
            time: 999999.9,
            alpha: 3.3333333,
            above_zero: 4096,
            min: -10.55,
            max: -10.55,
            mean: -10.55,
            rms: 10.55,
            kbar: 3.333
        },
    },
}[program];

let constants = null;
function caption_text(row) {
    constants = constants || lattice.run.constants();
    return words.caption(row, constants, lattice.colours.words().high);
}

let caption_at = -Infinity;
let caption_timer = 0;
function caption_in_a_while() {
    // Timers may fire a little early by the page's clock.
    const wait = caption_at + caption_interval - performance.now();
    if (wait > 0)
        caption_timer = setTimeout(caption_in_a_while, Math.ceil(wait));
    else
        update_caption();
}
function update_caption() {
    clearTimeout(caption_timer);
    caption_timer = 0;
    caption_at = performance.now();
    caption.textContent = caption_text(lattice.run.now());
    lattice.measure.update_table();
}

let spoken_at = -Infinity;
let speak_timer = 0;
let started = 0;
let caption_queued = false;
function say(text) {
    // A region told the text it holds again stays silent; a no-break
    // space makes it new.
    announcer.textContent = announcer.textContent === text ? text + "\u00a0" : text;
    spoken_at = performance.now();
}
function say_queued() {
    speak_timer = 0;
    if (started > 0)
        say(whole(started) + " " + words.steps[started === 1 ? 0 : 1] + " started");
    else if (caption_queued)
        say(caption.textContent);
    started = 0;
    caption_queued = false;
}
function say_soon() {
    if (!speak_timer)
        speak_timer =
            setTimeout(say_queued, Math.max(0, spoken_at + quiet_interval - performance.now()));
}
function burst_running() {
    return Module._web_timers_pending() > 0;
}

// The module tells of each step (onStep) and of each timer of a burst as
// a press sets it (onTimerSet); what they did is taken up once the task
// that did it is over.
let steps_seen = false;
let single_step = false;
function after_steps() {
    steps_seen = false;
    if (!burst_running()) {
        // A step alone, or the last of the last burst.
        clearTimeout(speak_timer);
        speak_timer = 0;
        started = 0;
        caption_queued = false;
        update_caption();
        say(caption.textContent);
    } else {
        if (!caption_timer)
            caption_in_a_while();
        if (single_step) {
            caption_queued = true;
            say_soon();
        }
    }
    single_step = false;
    lattice.measure.plot_soon();
}

lattice.words = {
    update_caption: update_caption,
    // The longest caption the page shows, for the room kept under the grid.
    longest: function() {
        // A colour word longer than any scale's.
        return words.caption(words.longest, {N: 2500, grid: 64}, "light yellow");
    },
    step_heard: function(from_timer) {
        single_step = single_step || !from_timer;
        if (!steps_seen) {
            steps_seen = true;
            queueMicrotask(after_steps);
        }
    },
    timer_set_heard: function() {
        // A burst that starts when none runs is told at once.
        if (Module._web_timers_pending() === 1)
            spoken_at = -Infinity;
        started += 1;
        say_soon();
    },
    say: say,
};
})(globalThis.lattice = globalThis.lattice || {});
