// SPDX-License-Identifier: MIT
// The grid in words. A caption under the grid (its accessible description)
// says where the run stands, from the run's latest row: after every step,
// but at most once a second while a burst runs. The announcer announces a
// single step's caption, the start of bursts and, when the last burst
// ends, the caption then; while bursts run it speaks at most every few
// seconds.
//
// The module tells of each step (step_taken) and of each timer of a burst
// as a press sets it (burst_timer_set), from inside its GLUT callback: the
// handlers only take note, and what the steps did is taken up once the
// callback is over.
import {say_in} from "./announce.js";
import {colour_words} from "./colours.js";
import {page} from "./description.js";
import {whole} from "./format.js";
import {constants, current, float_text, run_changed} from "./module_run.js";
import {fill} from "./template.js";

const caption = document.getElementById("caption");
const announcer = document.getElementById("announcer");
const caption_interval = 1000;
const quiet_interval = 5000;

// The page's other parts that follow the caption: the table with it, the
// plot after every step.
let follow = {caption_shown: () => {}, steps_taken: () => {}};

let constants_read = null;
function caption_text(run) {
    constants_read = constants_read || constants();
    return fill(
        page.caption,
        Object.assign({}, constants_read, run.summary, run.now, {colour: colour_words().high}),
        float_text);
}

// The longest caption the page shows, for the room kept under the grid; a
// colour word longer than any scale's. Asked before the module has loaded:
// the sample values are written as they are.
export function longest_caption() {
    return fill(page.caption, Object.assign({colour: "light yellow"}, page.longest), String);
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

// The caption (and what follows it) from the run as it stands now.
export function update_caption() {
    clearTimeout(caption_timer);
    caption_timer = 0;
    caption_at = performance.now();
    const run = current();
    caption.textContent = caption_text(run);
    follow.caption_shown(run);
}

let spoken_at = -Infinity;
let speak_timer = 0;
let steps_started = 0;
let caption_queued = false;
export function say(text) {
    say_in(announcer, text);
    spoken_at = performance.now();
}
function say_queued() {
    speak_timer = 0;
    if (steps_started > 0)
        say(whole(steps_started) + " " + (steps_started === 1 ? page.step : page.steps) +
            " started");
    else if (caption_queued)
        say(caption.textContent);
    steps_started = 0;
    caption_queued = false;
}
function say_soon() {
    if (!speak_timer)
        speak_timer =
            setTimeout(say_queued, Math.max(0, spoken_at + quiet_interval - performance.now()));
}

let steps_seen = false;
let single_step = false;
// Whether a burst's timers were set and the run has not yet been seen with
// none left.
let burst_known = false;
function after_steps() {
    steps_seen = false;
    const run = current();
    burst_known = run.timers_pending > 0;
    if (!burst_known) {
        // A step alone, or the last of the last burst.
        clearTimeout(speak_timer);
        speak_timer = 0;
        steps_started = 0;
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
    follow.steps_taken(run);
}

// The module's handler: a step was taken.
export function step_taken(from_timer) {
    run_changed();
    single_step = single_step || !from_timer;
    if (!steps_seen) {
        steps_seen = true;
        queueMicrotask(after_steps);
    }
}

// The module's handler: a timer of a burst was set. A burst that starts
// when none runs is told at once.
export function burst_timer_set() {
    run_changed();
    if (!burst_known)
        spoken_at = -Infinity;
    burst_known = true;
    steps_started += 1;
    say_soon();
}

// What follows the caption: caption_shown(run) each time the caption is
// written, steps_taken(run) after steps.
export function follow_caption(parts) {
    follow = parts;
}
