#!/usr/bin/env node
// SPDX-License-Identifier: MIT
// Runs the cross-engine cases (cases.mjs) in one browser engine: first in a
// browser with WebGL, then in one without, where the grid is drawn in 2D.
//
// usage: node run.mjs ENGINE SITE TEST_SITE [--reference FOLDER] [--shots FOLDER]
//   ENGINE     chromium, firefox or webkit
//   SITE       the hosted site (build-web/site); TEST_SITE the same with the
//              tests' exports (build-web/test-site)
//   --reference  where Chromium's observations are kept, by the site's
//              build: Chromium writes them, the other engines compare with
//              them (and have Chromium make them first where there are none)
//   --shots    where the pages' screenshots go, 390 and 1280 pixels wide,
//              drawn without WebGL
// Exits 0 when every case passed, 1 when one failed, 77 (skipped) when the
// engine cannot be had here, saying why.
import {createHash} from "node:crypto";
import {existsSync, mkdirSync, readdirSync, readFileSync, renameSync, writeFileSync} from "node:fs";
import os from "node:os";
import path from "node:path";

import {can_drive, ENGINES, missing, start} from "./browsers.mjs";
import {CASES, ways_to_draw} from "./cases.mjs";
import {serve} from "./serve.mjs";

const SKIPPED = 77;

function usage() {
    console.error("usage: node run.mjs chromium|firefox|webkit SITE TEST_SITE" +
                  " [--reference FOLDER] [--shots FOLDER]");
    process.exit(2);
}

const argv = process.argv.slice(2);
const options = {};
const positional = [];
for (let k = 0; k < argv.length; k++) {
    if (argv[k] === "--reference" || argv[k] === "--shots")
        options[argv[k].slice(2)] = argv[++k];
    else
        positional.push(argv[k]);
}
const [engine, site, test_site] = positional;
if (!(engine in ENGINES) || !site || !test_site ||
    !existsSync(path.join(test_site, "spingrid.html")))
    usage();

// The site's build, by what its files hold: observations are compared only
// within one build.
function build_of(folder) {
    const hash = createHash("sha256");
    for (const name of readdirSync(folder).sort())
        if (/\.(wasm|js|html)$/.test(name))
            hash.update(name + "\0").update(readFileSync(path.join(folder, name)));
    return hash.digest("hex").slice(0, 16);
}

const seconds = (since) => ((Date.now() - since) / 1000).toFixed(1) + " s";

// Runs the cases of one kind (with WebGL or without) in a new browser;
// returns their observations. results gets [name, "ok" | "FAILED" |
// "skipped: why", time].
async function run_cases(which, webgl, context, results) {
    const cases = CASES.filter((c) => c.webgl === webgl);
    const started = Date.now();
    const browser = await start(which, webgl);
    context.ratios = which !== "webkit";
    const observed = {};
    try {
        const ways = await ways_to_draw(browser, context.test_base);
        const drawn = ways.worker === "webgl" ? "WebGL in a worker"
                      : ways.page             ? "WebGL on the page"
                      : ways.worker === "2d"  ? "2D on the page"
                                              : "nothing";
        console.log("  " + browser.version + (webgl ? ", with WebGL" : ", without WebGL") +
                    " (started in " + seconds(started) + "): the grid is drawn with " + drawn);
        if (webgl && drawn.startsWith("2D"))
            console.log("  NOTE: " + which + " has no WebGL here: its cases with WebGL draw" +
                        " in 2D as those without");
        for (const c of cases) {
            const begun = Date.now();
            try {
                const got = await c.run(browser, context);
                if (typeof got === "string") {
                    results.push([c.name, got, seconds(begun)]);
                } else {
                    for (const [name, value] of Object.entries(got || {}))
                        observed[(webgl ? "" : "without WebGL, ") + name] = value;
                    results.push([c.name, "ok", seconds(begun)]);
                }
            } catch (error) {
                results.push([c.name, "FAILED", seconds(begun)]);
                console.log("    FAILED: " + c.name + "\n      " +
                            String(error.stack || error).split("\n").join("\n      "));
            }
            const last = results[results.length - 1];
            console.log("    " + last[1] + ": " + last[0] + " (" + last[2] + ")");
        }
        if (!webgl && context.shots) {
            mkdirSync(context.shots, {recursive: true});
            for (const width of [390, 1280])
                for (const program of ["spingrid", "fieldgrid"]) {
                    await browser.size(width, 900, 1);
                    await browser.go(context.test_base + program + ".html?seed=1");
                    const file =
                        path.join(context.shots, which + "-" + program + "-" + width + ".png");
                    for (const wait
                             of [() => browser.run(() => !!(window.lattice && lattice.started))]) {
                        const end = Date.now() + 30000;
                        while (!(await wait().catch(() => false)) && Date.now() < end)
                            await new Promise((resolve) => setTimeout(resolve, 50));
                    }
                    await browser.run(() => lattice.drawing.shown());
                    // The field after sixty steps, a labyrinth rather than
                    // the first frame's even red (the test site's hook).
                    if (program === "fieldgrid")
                        await browser.run(() => Module._web_field_run(1, 60, 1.5, 0));
                    await browser.run(() => new Promise((resolve) => requestAnimationFrame(
                                                            () => requestAnimationFrame(resolve))));
                    await browser.shot(file);
                    console.log("    screenshot " + file);
                }
        }
    } finally {
        await browser.close();
    }
    return observed;
}

async function main() {
    const why = missing(engine) || (await can_drive(engine));
    if (why) {
        console.log("SKIPPED: the " + engine + " cases do not run: " + why);
        process.exit(SKIPPED);
    }
    const started = Date.now();
    const test_server = await serve(test_site);
    const context = {test_base: test_server.base, site: site, shots: options.shots};
    const results = [];
    const observed = {};
    let status = 0;
    try {
        console.log(engine + ":");
        Object.assign(observed, await run_cases(engine, true, context, results));
        const flat = await run_cases(engine, false, context, results);

        // What must be the same in every engine, against Chromium's with
        // WebGL; without WebGL, against the same engine's with it.
        const folder = options.reference || os.tmpdir();
        const file = path.join(folder, "engines-reference-" + build_of(test_site) + ".json");
        let reference = null;
        if (engine === "chromium") {
            reference = observed;
            mkdirSync(folder, {recursive: true});
            writeFileSync(file + ".part" + process.pid, JSON.stringify(observed, null, 1));
            renameSync(file + ".part" + process.pid, file);
        } else if (existsSync(file)) {
            reference = JSON.parse(readFileSync(file, "utf8"));
        } else if (!missing("chromium") && !(await can_drive("chromium"))) {
            console.log("  Chromium's observations of this build, for comparison:");
            reference =
                await run_cases("chromium", true, {test_base: test_server.base, site: site}, []);
        }
        for (const [name, value] of Object.entries({...observed, ...flat})) {
            const want = reference ? reference[name.replace("without WebGL, ", "")] : undefined;
            const verdict = want === undefined ? "skipped: no Chromium to compare with"
                            : value === want   ? "ok"
                                               : "FAILED";
            results.push(["the same as Chromium's: " + name, verdict, "-"]);
            console.log("    " + verdict + ": the same as Chromium's: " + name);
            if (verdict === "FAILED")
                console.log("      got:  " + JSON.stringify(value).slice(0, 300) +
                            "\n      want: " + JSON.stringify(want).slice(0, 300));
        }
    } catch (error) {
        console.log("  FAILED to run: " + String(error.stack || error));
        status = 1;
    } finally {
        await test_server.stop();
    }
    const failed = results.filter(([, verdict]) => verdict === "FAILED").length;
    const skipped = results.filter(([, verdict]) => verdict.startsWith("skipped")).length;
    console.log(engine + ": " + (results.length - failed - skipped) + " passed, " + failed +
                " failed, " + skipped + " skipped, in " + seconds(started));
    process.exit(failed || status ? 1 : 0);
}

main();
