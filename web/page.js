// SPDX-License-Identifier: MIT
// The page around a viewer's module: sizes the canvas, makes its WebGL
// context and keeps the grid through a loss of it, turns touches and keys on
// the grid into the viewer's presses, says in words what the grid shows,
// then loads the module (its name is the body's data-program).
"use strict";

(function () {
    const program = document.body.dataset.program;
    // The module's .js and .wasm are asked for as of this page's build (the
    // "?v=" that web/stamp_site.py gave page.js; see service-worker.js).
    const build = new URL(document.currentScript.src).searchParams.get("v");
    const of_build = (url) => build ? url + "?v=" + build : url;
    const canvas = document.getElementById("canvas");
    const view = document.getElementById("view");
    const controls = document.getElementById("controls");
    const caption = document.getElementById("caption");
    const announcer = document.getElementById("announcer");
    const status = document.getElementById("status");
    let module_ready = false;

    // The largest square that fits the window beside the controls (side by
    // side when the window is wide, the controls below it when tall), with
    // the caption under it, and a backing store of the screen's own pixels so
    // cells stay sharp.
    function fit_canvas() {
        const gap = 12;
        const border = 2;
        // The client sizes leave out scroll bars; a pixel of slack keeps
        // rounding from pushing the controls onto a line of their own.
        const width = document.documentElement.clientWidth;
        const height = document.documentElement.clientHeight;
        const top = view.getBoundingClientRect().top + window.scrollY;
        const panel = controls.getBoundingClientRect();
        const under = Math.ceil(caption.getBoundingClientRect().height) + gap;
        const beside = width - Math.ceil(panel.width) - 3 * gap - 1;
        const below = height - top - Math.ceil(panel.height) - under - 2 * gap;
        let side = width >= height ? Math.min(beside, height - top - under - gap)
                                   : Math.min(width - 2 * gap, below);
        side = Math.max(100, Math.floor(side - border));
        document.documentElement.style.setProperty("--side", side + "px");
        const backing = Math.round(side * (window.devicePixelRatio || 1));
        if (canvas.width !== backing || canvas.height !== backing) {
            canvas.width = backing;
            canvas.height = backing;
            // A new backing store starts blank; the grid is drawn again.
            if (module_ready)
                Module._web_redisplay();
        }
    }
    window.addEventListener("resize", fit_canvas);

    // A press on the grid as GLUT takes it from the canvas: button 0 is a
    // left press, 2 a right press.
    function press(button) {
        for (const type of ["mousedown", "mouseup"])
            canvas.dispatchEvent(new MouseEvent(type, {button: button, bubbles: true,
                                                       cancelable: true}));
    }

    // GLUT turns a touch into a left press as soon as it starts. The page
    // takes the canvas's touches first instead: a tap is a left press, and a
    // long press (the platform's context-menu gesture) a right press, not a
    // left press followed by a right one.
    let touch = null;
    // How long a finger stays down to make a long press where the platform
    // sends no contextmenu for it (Safari on iOS), in milliseconds.
    const long_press = 500;
    function right_press_once() {
        if (touch && !touch.menu) {
            touch.menu = true;
            press(2);
        }
    }
    function on_touch(event) {
        if (event.target !== canvas)
            return;
        event.stopImmediatePropagation();
        if (event.type === "touchstart") {
            if (!touch)
                touch = {menu: false, timer: setTimeout(right_press_once, long_press)};
        } else if (event.type === "touchend" || event.type === "touchcancel") {
            // Cancelling the end keeps the browser from adding mouse events.
            event.preventDefault();
            if (event.touches.length > 0 || !touch)
                return;
            clearTimeout(touch.timer);
            if (event.type === "touchend" && !touch.menu)
                press(0);
            touch = null;
        }
    }
    // Registered before the module's GLUT adds its own listeners, so these
    // run first on the same target and phase.
    for (const type of ["touchstart", "touchmove", "touchend", "touchcancel"])
        window.addEventListener(type, on_touch, {capture: true, passive: false});
    // A press on the grid leaves the spinner's field, as a click in the grid
    // window does on the desktop, so that what was typed there is committed
    // before the press's step. GLUT cancels the mousedown, which would keep
    // the keyboard in the field; pointerdown comes before it.
    canvas.addEventListener("pointerdown", function () {
        if (controls.contains(document.activeElement))
            document.activeElement.blur();
    }, true);

    // The keyboard's presses on the focused grid. They are listened for here,
    // not through GLUT: with a keyboard callback, Emscripten's GLUT would take
    // Tab, Enter, Space, letters and digits from the whole page. A key held
    // down presses once.
    canvas.addEventListener("keydown", function (event) {
        if (event.altKey || event.ctrlKey || event.metaKey || event.isComposing)
            return;
        let button = -1;
        if (event.key === "Enter" || event.key === " ")
            button = 0;
        else if (event.key === "s" || event.key === "S" || event.key === "ContextMenu" ||
                 (event.key === "F10" && event.shiftKey))
            button = 2;
        if (button < 0)
            return;
        // Also keeps Space from scrolling and the menu keys from a menu.
        event.preventDefault();
        if (!event.repeat)
            press(button);
    });

    // GLUT listens for the legacy wheel events on the window and cancels
    // every one, which would stop the page from scrolling (Chrome refuses it
    // and says so on the console), only to hand the viewers wheel buttons
    // they ignore. Chrome and Safari deliver "mousewheel" only to targets
    // without a "wheel" listener, so an idle one on the window keeps GLUT's
    // from running while the wheel still reaches the control panel.
    window.addEventListener("wheel", function () {}, {capture: true, passive: true});
    window.addEventListener("DOMMouseScroll", function (event) {
        event.stopImmediatePropagation();
    }, {capture: true, passive: true});
    canvas.addEventListener("contextmenu", function (event) {
        // No menu, whether a mouse, a finger or a key asked for it. A mouse's
        // right press has already reached GLUT as a mousedown, a key's as
        // its keydown.
        event.preventDefault();
        right_press_once();
    });

    // ---- the grid in words ----
    // A caption under the grid (its accessible description) says where the
    // run stands, from the model's own numbers: after every step, but at most
    // once a second while a burst runs. The status region announces a single
    // step's caption, the start of bursts and, when the last burst ends, the
    // caption then; while bursts run it speaks at most every few seconds.
    const caption_interval = 1000;
    const quiet_interval = 5000;

    function whole(n) {
        return n.toLocaleString("en-US", {maximumFractionDigits: 0});
    }
    function signed(x, places) {
        if (Number.isNaN(x))
            return "not a number";
        if (!Number.isFinite(x))
            return x > 0 ? "+infinity" : "\u2212infinity";
        const text = Math.abs(x).toFixed(places);
        return Number(text) === 0 ? text : (x < 0 ? "\u2212" : "+") + text;
    }
    // A float as the spinner's field shows it: the shortest decimal that
    // reads back as the same float.
    function float_text(x) {
        for (let digits = 1; digits <= 9; digits++) {
            const text = String(Number(x.toPrecision(digits)));
            if (Math.fround(Number(text)) === Math.fround(x))
                return text;
        }
        return String(x);
    }
    const words = {
        spingrid: {
            steps: ["sweep", "sweeps"],
            caption: function (n) {
                const at = n[1] > 0 ? " at temperature " + n[1] : "";
                return "Sweep " + whole(n[0]) + at + ": " + whole(n[2]) + " of " + whole(n[3]) +
                       " cells red, magnetisation " + signed(n[4], 2);
            },
        },
        fieldgrid: {
            steps: ["step", "steps"],
            caption: function (n) {
                const time = n[1].toLocaleString("en-US", {minimumFractionDigits: 1,
                                                            maximumFractionDigits: 1});
                const range = Number.isNaN(n[5]) ? "some cells not a number"
                    : "field from " + signed(n[5], 2) + " to " + signed(n[6], 2);
                return "Step " + whole(n[0]) + ", time " + time + ", alpha " +
                       float_text(n[2]) + ": " + whole(n[3]) + " of " + whole(n[4]) +
                       " cells above zero, " + range;
            },
        },
    }[program];

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
        const at = Module._web_caption_numbers() / 8;
        caption.textContent = words.caption(Array.from(Module.HEAPF64.subarray(at, at + 7)));
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
            speak_timer = setTimeout(say_queued,
                                     Math.max(0, spoken_at + quiet_interval - performance.now()));
    }
    function burst_running() {
        return Module.timersPending > 0;
    }

    // The module calls onStep after each step, and onTimerSet for each timer
    // of a burst as a press sets it; what they did is taken up once the task
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
    }

    // ---- the module ----
    fit_canvas();
    // The grid is drawn whole in every frame, so nothing needs the drawing
    // buffer kept after the browser has shown it.
    const context = canvas.getContext("webgl", {alpha: false, antialias: false, depth: false,
                                                stencil: false});
    if (!context) {
        status.textContent = "This browser gives the page no WebGL, so the grid cannot be drawn.";
        return;
    }
    // Browsers take a context away (a GPU reset, a driver update, a phone
    // reclaiming memory). Cancelling the loss asks for it back; once it is
    // back, the module sets it up again and draws the model as it is then.
    canvas.addEventListener("webglcontextlost", function (event) {
        event.preventDefault();
    });
    canvas.addEventListener("webglcontextrestored", function () {
        if (module_ready)
            Module._web_context_restored();
    });

    window.Module = {
        canvas: canvas,
        preinitializedWebGLContext: context,
        locateFile: (path, prefix) => of_build(prefix + path),
        onRuntimeInitialized: function () {
            module_ready = true;
        },
        onStep: function () {
            single_step = single_step || !Module.inTimer;
            if (!steps_seen) {
                steps_seen = true;
                queueMicrotask(after_steps);
            }
        },
        onTimerSet: function () {
            // A burst that starts when none runs is told at once.
            if (Module.timersPending === 1)
                spoken_at = -Infinity;
            started += 1;
            say_soon();
        },
        postRun: [function () {
            update_caption();
            // The control panel and the caption are there now: they may
            // change what fits.
            fit_canvas();
        }],
    };
    const script = document.createElement("script");
    script.src = of_build(program + ".js");
    script.onerror = function () {
        status.textContent = "Could not load " + script.src + ".";
    };
    document.body.appendChild(script);
})();
