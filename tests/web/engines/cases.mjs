// SPDX-License-Identifier: MIT
// The cases every engine runs: written once, against the adapter of
// browsers.mjs. Each is {name, webgl (whether its browser has WebGL),
// run(browser, context)}; run throws when the case fails and may return
// observations, {name: text}, that must be the same in every engine (the
// runner compares them with Chromium's).
import {cpSync, mkdtempSync, rmSync} from "node:fs";
import os from "node:os";
import path from "node:path";

import {png_pixels} from "./png.mjs";
import {serve} from "./serve.mjs";

const PROGRAMS = {
    spingrid: {burst: 100},
    fieldgrid: {burst: 500}
};

function check(condition, message) {
    if (!condition)
        throw new Error(message);
}

function equal(got, want, what) {
    check(JSON.stringify(got) === JSON.stringify(want),
          what + ": got " + JSON.stringify(got) + ", want " + JSON.stringify(want));
}

// Calls ask() until it gives something true, which it returns; an error
// (the page being replaced, say) counts as not yet.
async function until(ask, what, seconds = 30) {
    const end = Date.now() + 1000 * seconds;
    let last = null;
    for (;;) {
        try {
            const value = await ask();
            if (value)
                return value;
        } catch (error) {
            last = error;
        }
        if (Date.now() > end)
            throw new Error("waited " + seconds + " s for " + what +
                            (last ? " (last error: " + last.message + ")" : ""));
        await new Promise((resolve) => setTimeout(resolve, 30));
    }
}

// Opens url and waits until the module has started, the page has set up
// the run and its first frame has been drawn.
async function open(browser, url) {
    await browser.go(url);
    await until(() => browser.run(() => !!(window.Module && Module.calledRun && window.lattice &&
                                           lattice.started &&
                                           (!Module._web_frames || Module._web_frames() > 0))),
                "the page " + url + " to start");
    await browser.run(() => lattice.drawing.shown());
}

// Resolves once two animation frames have passed: a redraw asked for
// before has been made by then (steps close together may share one).
const settled = (browser) => browser.run(
    () => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));

const steps = (browser) => browser.run(() => lattice.run.current().steps);

// Resolves after a page timer of 150 ms (the page's own setTimeout, also
// where the tests have sped the page's timers up): by then the first timer
// of a burst set before has fired.
const after_a_timer = (browser) => browser.run(
    () => new Promise((resolve) => (window.real_set_timeout || setTimeout)(resolve, 150)));

// The page's timers fifty times sooner: a burst's steps 2 ms apart rather
// than 100, in the same order.
const fast_timers = (browser) => browser.run(function() {
    if (window.real_set_timeout)
        return;
    const real = window.real_set_timeout = window.setTimeout.bind(window);
    window.setTimeout = (callback, ms, ...rest) => real(callback, (ms || 0) / 50, ...rest);
});

// The frame on the screen against the model's picture of it (the page's
// web_picture, a white margin round the grid): the colour at each cell's
// centre, and every pixel, which must have its cell's colour or, within a
// pixel of a cell's edge, its neighbour's (no seams, no smoothing). Returns
// {width, height, centres (hex colours, row by row from the top), wrong
// (centres unlike the picture), stray (pixels unlike either), first}.
function screen_against_picture() {
    return lattice.drawing.pixels().then(function({width: w, height: h, data}) {
        const side = Module._web_picture_side();
        const at = Module._web_picture();
        const picture = Module.HEAPU8.slice(at, at + 3 * side * side);
        const cell = (r, c) => r < 0 || c < 0 || r >= side || c >= side
                                   ? -1
                                   : (picture[3 * (r * side + c)] << 16) |
                                         (picture[3 * (r * side + c) + 1] << 8) |
                                         picture[3 * (r * side + c) + 2];
        // x from the left, y from the top.
        const pixel = (x, y) => {
            const k = 4 * ((h - 1 - y) * w + x);
            return (data[k] << 16) | (data[k + 1] << 8) | data[k + 2];
        };
        const hex = (c) => (0x1000000 + c).toString(16).slice(1);
        const centres = [];
        let wrong = 0;
        let first = null;
        for (let r = 0; r < side; r++)
            for (let c = 0; c < side; c++) {
                const seen =
                    pixel(Math.floor((c + 0.5) * w / side), Math.floor((r + 0.5) * h / side));
                centres.push(hex(seen));
                if (seen !== cell(r, c)) {
                    wrong++;
                    first = first || {row: r, column: c, seen: hex(seen), cell: hex(cell(r, c))};
                }
            }
        let stray = 0;
        for (let y = 0; y < h; y++) {
            const fy = (y + 0.5) * side / h;
            const r = Math.floor(fy);
            const dr = fy - r < side / h ? -1 : r + 1 - fy < side / h ? 1 : 0;
            for (let x = 0; x < w; x++) {
                const fx = (x + 0.5) * side / w;
                const c = Math.floor(fx);
                const dc = fx - c < side / w ? -1 : c + 1 - fx < side / w ? 1 : 0;
                const seen = pixel(x, y);
                if (seen !== cell(r, c) && seen !== cell(r + dr, c) && seen !== cell(r, c + dc) &&
                    seen !== cell(r + dr, c + dc)) {
                    stray++;
                    first = first || {x: x, y: y, seen: hex(seen), cell: hex(cell(r, c))};
                }
            }
        }
        return {width: w, height: h, centres: centres.join(" "), wrong, stray, first};
    });
}

async function screen_is_the_picture(browser, what) {
    const seen = await browser.run(screen_against_picture);
    check(seen.wrong === 0 && seen.stray === 0,
          what + ": " + seen.wrong + " cells and " + seen.stray +
              " pixels unlike the model's picture, first " + JSON.stringify(seen.first) + " (" +
              seen.width + " x " + seen.height + ")");
    return seen;
}

// Five right presses on the grid from seed 1; the page then shows step 5.
async function five_right_presses(browser, context, program) {
    await open(browser, context.test_base + program + ".html?seed=1");
    for (let k = 0; k < 5; k++)
        await browser.click("#canvas", 2);
    await until(async () => (await steps(browser)) === 5, "five steps");
    await settled(browser);
}

// The cells after five right presses, as the page shows them: those of the
// model's picture, and Chromium's.
async function five_presses_cells(browser, context) {
    const seen = {};
    for (const program in PROGRAMS) {
        await five_right_presses(browser, context, program);
        seen[program + " cells after five right presses"] =
            (await screen_is_the_picture(browser, program)).centres;
    }
    return seen;
}

async function focus(browser, selector) {
    await browser.run((s) => document.querySelector(s).focus(), selector);
}

// How the site's pages can draw in this browser: {page: whether the page
// has WebGL, worker: what the drawing's worker says it draws with, "webgl",
// "2d" or "none"}.
export async function ways_to_draw(browser, base) {
    await browser.go(base + "index.html");
    return until(
        () => browser.run(() => new Promise(function(resolve) {
                              const worker = new Worker("webgl_draw.js");
                              worker.onmessage = function(event) {
                                  worker.terminate();
                                  resolve({
                                      page: !!document.createElement("canvas").getContext("webgl"),
                                      worker: event.data.how,
                                  });
                              };
                          })),
        "the drawing's worker");
}

export const CASES = [
    {
        name: "each page loads and draws its first frame",
        webgl: true,
        run: async function(browser, context) {
            for (const program in PROGRAMS) {
                await open(browser, context.test_base + program + ".html");
                equal(await browser.run(() => document.title), program, "title");
                await screen_is_the_picture(browser, program);
            }
            await browser.go(context.test_base + "index.html");
            const links = await until(
                () => browser.run(() => Array
                                            .from(document.querySelectorAll("a[href]"),
                                                  (a) => a.getAttribute("href"))
                                            .filter((h) => /^(spin|field)grid\.html/.test(h))
                                            .sort()
                                            .join(" ")),
                "the index's links");
            equal(links, "fieldgrid.html spingrid.html", "the index's links");
        },
    },
    {
        name: "five right presses from ?seed=1 draw Chromium's cells",
        webgl: true,
        run: five_presses_cells,
    },
    {
        name: "a burst (left press, Enter on the focused grid) runs its steps and stops",
        webgl: true,
        run: async function(browser, context) {
            for (const program in PROGRAMS) {
                await open(browser, context.test_base + program + ".html");
                await fast_timers(browser);
                if (program === "spingrid") {
                    await browser.click("#canvas", 0);
                } else {
                    await focus(browser, "#canvas");
                    await browser.keys("Enter");
                }
                const burst = PROGRAMS[program].burst;
                await until(() => browser.run(() => Module._web_timers_pending() === 0 &&
                                                    lattice.run.current().steps > 0),
                            program + "'s burst to end", 60);
                await after_a_timer(browser);
                equal(await steps(browser), burst, program + "'s steps after the burst");
                await settled(browser);
                await screen_is_the_picture(browser, program + " after its burst");
            }
        },
    },
    {
        name: "S on the focused grid steps once",
        webgl: true,
        run: async function(browser, context) {
            for (const program in PROGRAMS) {
                await open(browser, context.test_base + program + ".html");
                await focus(browser, "#canvas");
                await browser.keys("s");
                await until(async () => (await steps(browser)) === 1, program + "'s step");
                await after_a_timer(browser);
                equal(await steps(browser), 1, program + "'s steps after S");
            }
        },
    },
    {
        name: "a refused value in the spinner's field is said in words",
        webgl: true,
        run: async function(browser, context) {
            for (const [program, label, said] of [
                     ["spingrid", "Temperature", "abc is not a number: Temperature stays 1"],
                     ["fieldgrid", "alpha", "abc is not a number: alpha stays 1.5"]]) {
                await open(browser, context.test_base + program + ".html");
                await browser.run(function(label) {
                    for (const l of document.querySelectorAll("#controls label"))
                        if (l.textContent.trim() === label) {
                            l.control.focus();
                            l.control.select();
                        }
                }, label);
                await browser.keys("a", "b", "c", "Enter");
                const status = () =>
                    browser.run(() => document.getElementById("status").textContent.trim());
                await until(async () => (await status()) === said, "the words " + said, 10);
            }
        },
    },
    {
        name: "the CSV of a seeded run is byte for byte Chromium's",
        webgl: true,
        run: async function(browser, context) {
            const seen = {};
            for (const program in PROGRAMS) {
                await five_right_presses(browser, context, program);
                const text = await browser.run(() => lattice.take_away.csv().text());
                check(text.includes("\n5,"), program + "'s CSV has no row of step 5");
                // The one thing that differs from run to run: the test
                // server's port.
                seen[program + " CSV after five right presses"] =
                    text.split(context.test_base).join("http://127.0.0.1:PORT/");
            }
            return seen;
        },
    },
    {
        name: "the PNG's cells are the screen's",
        webgl: true,
        run: async function(browser, context) {
            for (const program in PROGRAMS) {
                await five_right_presses(browser, context, program);
                // The page's download, kept rather than saved.
                await browser.run(function() {
                    window.taken = null;
                    const make = URL.createObjectURL;
                    URL.createObjectURL = function(blob) {
                        window.taken = blob;
                        return make.call(URL, blob);
                    };
                    HTMLAnchorElement.prototype.click = function() {};
                });
                await browser.click("#save-png", 0);
                const base64 = await until(
                    () => browser.run(() => window.taken && window.taken.arrayBuffer().then(
                                                                (b) => btoa(String.fromCharCode(
                                                                    ...new Uint8Array(b))))),
                    "the PNG");
                const png = png_pixels(Buffer.from(base64, "base64"));
                const screen = (await screen_is_the_picture(browser, program)).centres.split(" ");
                const side = Math.sqrt(screen.length);
                const scale = png.width / side;
                check(Number.isInteger(scale) && png.height === png.width,
                      "the PNG is " + png.width + " x " + png.height);
                for (let r = 0; r < side; r++)
                    for (let c = 0; c < side; c++) {
                        const colours = new Set();
                        for (let y = r * scale; y < (r + 1) * scale; y++)
                            for (let x = c * scale; x < (c + 1) * scale; x++)
                                colours.add(png.rgb(x, y)
                                                .map((v) => (256 + v).toString(16).slice(1))
                                                .join(""));
                        equal([...colours], [screen[r * side + c]],
                              program + "'s PNG cell " + r + ", " + c);
                    }
            }
        },
    },
    {
        name: "a page reloads offline with its server gone",
        webgl: true,
        run: async function(browser, context) {
            // A copy of the site on an origin of its own, which no service
            // worker controls yet.
            const folder = mkdtempSync(path.join(os.tmpdir(), "site-copy-"));
            try {
                cpSync(context.site, folder, {recursive: true});
                const server = await serve(folder);
                await open(browser, server.base + "spingrid.html");
                await until(() => browser.run(() => !!navigator.serviceWorker.controller),
                            "the service worker to control the page");
                await server.stop();
                let gone = false;
                try {
                    await fetch(server.base + "index.html");
                } catch {
                    gone = true;
                }
                check(gone, "the server still answers");
                for (const program in PROGRAMS) {
                    await open(browser, server.base + program + ".html");
                    await screen_is_the_picture(browser, program + " offline");
                }
            } finally {
                rmSync(folder, {recursive: true, force: true});
            }
        },
    },
    {
        name: "without WebGL, the grid is drawn in 2D with the cells WebGL draws",
        webgl: false,
        run: async function(browser, context) {
            // WebGL is away from the page and from workers; the drawing's
            // worker says it draws in 2D.
            equal(await ways_to_draw(browser, context.test_base), {page: false, worker: "2d"},
                  "the ways to draw");
            return five_presses_cells(browser, context);
        },
    },
    {
        name: "without WebGL, every device pixel ratio has the cells, no seams and no smoothing",
        webgl: false,
        run: async function(browser, context) {
            if (!context.ratios)
                return "skipped: the engine's driver sets no device pixel ratio";
            for (const [ratio, width] of [[1, 700], [1.25, 650], [1.5, 1000], [2, 500], [3, 390]]) {
                try {
                    await browser.size(width, 800, ratio);
                } catch (error) {
                    // An older engine's WebDriver BiDi may lack the command.
                    if (/unknown command/.test(error.message))
                        return "skipped: this engine's driver cannot set a device pixel ratio (" +
                               error.message.split("\n")[0] + ")";
                    throw error;
                }
                await open(browser, context.test_base + "fieldgrid.html?seed=1");
                const seen = await screen_is_the_picture(browser, "at ratio " + ratio);
                const backing = await browser.run(
                    () => [document.getElementById("canvas").clientWidth, devicePixelRatio]);
                equal(seen.width, Math.round(backing[0] * backing[1]),
                      "the drawing's width at ratio " + ratio + " (" + backing + ")");
            }
            await browser.size(1000, 800, 1);
        },
    },
];
