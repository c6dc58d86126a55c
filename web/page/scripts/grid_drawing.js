// SPDX-License-Identifier: MIT
// The grid's frames on their way from the module's OpenGL stand-in
// (webgl_calls.js) to WebGL (webgl_draw.js). Where the browser has WebGL in
// workers, a worker owns the canvas and draws there: compiling the shaders
// and waiting for the GPU then never hold up the page. Elsewhere the page
// loads the same drawing and runs it itself. The calls of one task make one
// frame; what comes before the drawing is ready waits for it, in order.
const canvas = document.getElementById("canvas");
// The frame being made in this task: its drawing commands.
let frame_commands = [];
// The worker that has the canvas, or the drawing on this page's thread;
// and the worker that will have the canvas once there is a frame for it.
let worker = null;
let drawing_on_page = null;
let waiting_worker = null;
// Messages (with what they transfer) from before either was ready.
let waiting = [];
// The canvas's backing store, side by side pixels.
let side = 0;
// Who asked for pixels, in order.
const asked = [];
// What the page is told: restored() and failed().
let tell = null;
// Settled once the first frame has been drawn, or cannot be.
let first_shown = null;
const shown = new Promise((resolve) => first_shown = resolve);

function run_here(message) {
    if (message.frame) {
        drawing_on_page.draw(message.frame);
        first_shown();
    } else if (message.side) {
        drawing_on_page.resize(message.side);
    } else if (message.pixels) {
        asked.shift()(drawing_on_page.pixels());
    } else {
        drawing_on_page.lose_context(message.lost);
    }
}

// Hands the canvas to the worker with the first frame, not before: a canvas
// whose frames come from a worker holds the page's frames back until the
// worker has shown one (in Chromium, up to most of a second), and the first
// frame comes from the page's own.
function hand_over() {
    const offscreen = canvas.transferControlToOffscreen();
    waiting_worker.postMessage({canvas: offscreen}, [offscreen]);
    worker = waiting_worker;
    ready();
}

function post(message, transfer) {
    if (!worker && waiting_worker && message.frame)
        hand_over();
    if (worker)
        worker.postMessage(message, transfer || []);
    else if (drawing_on_page)
        run_here(message);
    else
        waiting.push([message, transfer]);
}

function ready() {
    const queued = waiting;
    waiting = [];
    for (const [message, transfer] of queued)
        post(message, transfer);
}

function end_frame() {
    const frame = frame_commands;
    frame_commands = [];
    const transfer = [];
    for (const command of frame)
        if (command.xy)
            transfer.push(command.xy.buffer, command.rgba.buffer, command.corners.buffer);
    post({frame: frame}, transfer);
}

function add(command) {
    if (frame_commands.length === 0)
        queueMicrotask(end_frame);
    frame_commands.push(command);
}

// The drawing's file, for drawing on this page's thread.
let drawing_file = "";

// Loads the drawing's file into the page, then calls then().
function load_drawing(then) {
    if (globalThis.lattice && globalThis.lattice.drawing_on) {
        then();
        return;
    }
    const script = document.createElement("script");
    script.src = drawing_file;
    script.onload = then;
    script.onerror = failed;
    document.body.appendChild(script);
}

// The drawing on this page's thread, from the same file as the worker's.
function draw_here() {
    load_drawing(function() {
        drawing_on_page =
            globalThis.lattice.drawing_on(canvas, tell.restored, undefined, draw_in_2d_instead);
        if (drawing_on_page)
            ready();
        else
            failed();
    });
}

// A lost WebGL context that never came back leaves its canvas unable to
// draw at all. The grid is then drawn in 2D on a canvas laid over it, which
// takes no presses and is hidden from assistive technology: the grid's own
// canvas keeps its focus, its keys, its name and GLUT's listeners.
function draw_in_2d_instead() {
    if (worker)
        worker.terminate();
    worker = null;
    waiting_worker = null;
    drawing_on_page = null;
    const over = document.createElement("canvas");
    over.id = "canvas-2d";
    over.setAttribute("aria-hidden", "true");
    over.width = over.height = side;
    canvas.after(over);
    load_drawing(function() {
        drawing_on_page = globalThis.lattice.drawing_on(over, tell.restored, false);
        // Pixels asked of the worker that is gone come from here.
        while (asked.length > 0)
            asked.shift()(drawing_on_page.pixels());
        ready();
        tell.restored();
    });
}

function failed() {
    first_shown();
    tell.failed();
}

function start_worker(file) {
    const candidate = new Worker(file);
    candidate.onmessage = function(event) {
        const message = event.data;
        if ("webgl" in message) {
            if (worker && !message.webgl) {
                failed();
            } else if (!worker && message.webgl) {
                waiting_worker = candidate;
                if (waiting.some(([queued]) => queued.frame))
                    hand_over();
            } else if (!worker) {
                candidate.terminate();
                draw_here();
            }
        } else if (message.shown) {
            first_shown();
        } else if (message.restored) {
            tell.restored();
        } else if (message.gave_up) {
            draw_in_2d_instead();
        } else if (message.pixels) {
            asked.shift()(message.pixels);
        }
    };
    candidate.onerror = function() {
        if (!worker && !drawing_on_page)
            draw_here();
    };
}

export const drawing = {
    // Starts the drawing of file (webgl_draw.js); says.restored() is called
    // when a lost WebGL context is back, says.failed() when there is no
    // WebGL to draw with.
    start: function(file, says) {
        tell = says;
        drawing_file = file;
        if (typeof Worker === "function" && canvas.transferControlToOffscreen) {
            try {
                start_worker(file);
                return;
            } catch {
                // A worker refused: the page draws.
            }
        }
        draw_here();
    },
    // The module's calls (webgl_calls.js).
    clear: (rgba) => add({clear: rgba}),
    triangles: (xy, rgba, corners) => add({xy: xy, rgba: rgba, corners: corners}),
    side: () => side,
    // A promise settled once the first frame has been drawn (by the GPU,
    // where a worker draws), or cannot be.
    shown: () => shown,
    // A new backing store for the canvas: it starts blank.
    resize: function(new_side) {
        side = new_side;
        if (worker || drawing_on_page) {
            post({side: side});
        } else {
            canvas.width = side;
            canvas.height = side;
        }
    },
    // The latest frame's pixels, once drawn: a promise of {width, height,
    // data}, RGBA bytes with rows from the bottom.
    pixels: function() {
        return new Promise(function(resolve) {
            asked.push(resolve);
            post({pixels: true});
        });
    },
    // Takes the WebGL context away (lost true) or gives it back, as a
    // browser may.
    lose_context: (lost) => post({lost: lost}),
};
