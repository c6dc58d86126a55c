// SPDX-License-Identifier: MIT
// The grid on the page: its size (as large as the window allows, the
// measurements beside it on a wide screen and under it on a narrow one, at
// the screen's own density), and the presses that reach the viewer from a
// mouse, a finger or the keyboard.
import {drawing} from "./grid_drawing.js";
import {take_first_row} from "./module_run.js";

const canvas = document.getElementById("canvas");
const view = document.getElementById("view");
const caption = document.getElementById("caption");
const colours_line = document.getElementById("colours-line");
const controls = document.getElementById("controls");
const root = document.documentElement;

// What the grid asks of the rest of the page: longest_caption() (the
// longest caption it can show), redisplay() (the module draws the grid
// again; a new backing store starts blank) and fitted() (the grid has its
// size: the rest may fit around it).
let hooks = {longest_caption: () => "", redisplay: () => {}, fitted: () => {}};

// The column beside the grid: at least, at most (in rem).
const column_least = 20;
const column_most = 30;

// The height of the longest caption the page can show under a grid of
// side pixels, and of the line of colours under it: a layout of the page,
// so fit asks once per side.
function caption_height(side) {
    caption.style.width = colours_line.style.width = side + 2 + "px";
    caption.style.minHeight = "";
    const text = caption.textContent;
    caption.textContent = hooks.longest_caption();
    const height = Math.ceil(caption.getBoundingClientRect().height);
    caption.textContent = text;
    const colours = Math.ceil(colours_line.getBoundingClientRect().height);
    caption.style.width = colours_line.style.width = "";
    return {caption: height, colours: colours};
}

export function fit() {
    const gap = 12;
    const border = 2;
    const rem = parseFloat(getComputedStyle(root).fontSize) || 16;
    // The client sizes leave out scroll bars; a pixel of slack keeps
    // rounding from pushing the column onto a line of its own.
    const width = root.clientWidth;
    const height = root.clientHeight;
    const top = view.getBoundingClientRect().top + window.scrollY;
    const heights = new Map();
    const under = function(side) {
        if (!heights.has(side))
            heights.set(side, caption_height(side));
        return heights.get(side).caption + heights.get(side).colours + 2 * gap;
    };
    // Beside the column, as tall as the window allows, the column at its
    // least; under it, as wide. The caption's room depends on the side
    // and the side on that room: the second round settles it.
    const side_for = function(wide, room) {
        return Math.floor(
            wide
                ? Math.min(width - 3 * gap - column_least * rem - 1, height - top - room - gap) -
                      border
                : Math.min(width - 2 * gap - 1, Math.max(height - top - room - gap, 240)) - border);
    };
    const settled = function(wide) {
        return side_for(wide, under(Math.max(100, side_for(wide, under(400)))));
    };
    let side = settled(true);
    const wide = side >= 240;
    if (!wide)
        side = settled(false);
    side = Math.max(100, side);
    // Room kept under the grid for the longest caption at this width, so
    // that a caption that grows a line moves nothing.
    under(side);
    caption.style.minHeight = heights.get(side).caption + "px";
    view.classList.toggle("wide", wide);
    view.classList.add("sized");
    root.style.setProperty("--side", side + "px");
    const column = Math.min(column_most * rem, width - 3 * gap - side - border - 1);
    root.style.setProperty("--column", Math.max(column_least * rem, column) + "px");
    const backing = Math.round(side * (window.devicePixelRatio || 1));
    if (drawing.side() !== backing) {
        drawing.resize(backing);
        hooks.redisplay();
    }
    hooks.fitted();
}

// A press on the grid as GLUT takes it from the canvas: button 0 is a
// left press, 2 a right press.
function press(button) {
    take_first_row();
    for (const type of ["mousedown", "mouseup"])
        canvas.dispatchEvent(
            new MouseEvent(type, {button: button, bubbles: true, cancelable: true}));
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

// Listens for the page's own presses, with the page's hooks (above);
// before the module's GLUT adds its listeners, so that these run first on
// the same target and phase.
export function listen_to_grid(page_hooks) {
    hooks = page_hooks;
    window.addEventListener("resize", fit);
    for (const type of ["touchstart", "touchmove", "touchend", "touchcancel"])
        window.addEventListener(type, on_touch, {capture: true, passive: false});
    // A press on the grid leaves the spinner's field, as a click in
    // the grid window does on the desktop, so that what was typed
    // there is committed before the press's step. GLUT cancels the
    // mousedown, which would keep the keyboard in the field;
    // pointerdown comes before it.
    canvas.addEventListener("pointerdown", function() {
        if (controls.contains(document.activeElement))
            document.activeElement.blur();
        // A press may step the model: the run's first row is the model
        // before it.
        take_first_row();
    }, true);
    // The keyboard's presses on the focused grid, listened for here,
    // not through GLUT: with a keyboard callback, Emscripten's GLUT
    // would take Tab, Enter, Space, letters and digits from the whole
    // page. A key held down presses once.
    canvas.addEventListener("keydown", function(event) {
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
    // GLUT listens for the legacy wheel events on the window and
    // cancels every one, which would stop the page from scrolling
    // (Chrome refuses it and says so on the console), only to hand the
    // viewers wheel buttons they ignore. Chrome and Safari deliver
    // "mousewheel" only to targets without a "wheel" listener, so an
    // idle one on the window keeps GLUT's from running while the
    // wheel still reaches the control panel.
    window.addEventListener("wheel", function() {}, {capture: true, passive: true});
    window.addEventListener("DOMMouseScroll", function(event) {
        event.stopImmediatePropagation();
    }, {capture: true, passive: true});
    canvas.addEventListener("contextmenu", function(event) {
        // No menu, whether a mouse, a finger or a key asked for it. A
        // mouse's right press has already reached GLUT as a
        // mousedown, a key's as its keydown.
        event.preventDefault();
        right_press_once();
    });
}
