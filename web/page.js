// SPDX-License-Identifier: MIT
// The page around a viewer's module: sizes the canvas, makes its WebGL
// context, turns touches into the viewer's presses, then loads the module
// (its name is the body's data-program).
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
    const status = document.getElementById("status");
    let module_ready = false;

    // The largest square that fits the window beside the controls (side by
    // side when the window is wide, the controls below it when tall), with a
    // backing store of the screen's own pixels so cells stay sharp.
    function fit_canvas() {
        const gap = 12;
        const border = 2;
        // The client sizes leave out scroll bars; a pixel of slack keeps
        // rounding from pushing the controls onto a line of their own.
        const width = document.documentElement.clientWidth;
        const height = document.documentElement.clientHeight;
        const top = view.getBoundingClientRect().top + window.scrollY;
        const panel = controls.getBoundingClientRect();
        const beside = width - Math.ceil(panel.width) - 3 * gap - 1;
        const below = height - top - Math.ceil(panel.height) - 2 * gap;
        let side = width >= height ? Math.min(beside, height - top - gap)
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

    // GLUT turns a touch into a left press as soon as it starts. The page
    // takes the canvas's touches first instead: a tap is a left press, and a
    // long press (the platform's context-menu gesture) a right press, not a
    // left press followed by a right one.
    let touch = null;
    // How long a finger stays down to make a long press where the platform
    // sends no contextmenu for it (Safari on iOS), in milliseconds.
    const long_press = 500;
    function press(button) {
        for (const type of ["mousedown", "mouseup"])
            canvas.dispatchEvent(new MouseEvent(type, {button: button, bubbles: true,
                                                       cancelable: true}));
    }
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
        event.preventDefault();
        // A mouse's right press has already reached GLUT as a mousedown.
        right_press_once();
    });

    fit_canvas();
    const context = canvas.getContext("webgl", {alpha: false, antialias: false, depth: false,
                                                stencil: false, preserveDrawingBuffer: true});
    if (!context) {
        status.textContent = "This browser gives the page no WebGL, so the grid cannot be drawn.";
        return;
    }

    window.Module = {
        canvas: canvas,
        preinitializedWebGLContext: context,
        locateFile: (path, prefix) => of_build(prefix + path),
        onRuntimeInitialized: function () {
            module_ready = true;
        },
        postRun: [function () {
            // The control panel is there now: it may change what fits.
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
