// SPDX-License-Identifier: MIT
// One small adapter per browser engine, each with the same calls, so that
// the cases are written once: Chromium and Firefox through puppeteer-core
// (the DevTools protocol and WebDriver BiDi), WebKit through WebKitWebDriver's
// classic WebDriver over HTTP. Every browser is Debian's; none is downloaded.
//
// An adapter: version, go(url), run(source, ...args) (source: a function's
// text, called in the page with the JSON-able args; its promise awaited),
// click(selector, button) (0 left, 2 right, at the element's centre),
// keys(...keys) (pressed and let go in turn on the focused element: a
// character or "Enter"), size(width, height, ratio) (the page's viewport;
// ratio only where the engine can set it, else ignored), shot(file),
// close().
import {spawn} from "node:child_process";
import {existsSync, mkdtempSync, rmSync, writeFileSync} from "node:fs";
import net from "node:net";
import os from "node:os";
import path from "node:path";

const CHROMIUM = "/usr/lib/chromium/chromium";
const FIREFOX = "/usr/bin/firefox-esr";
const WEBKIT_DRIVER = "/usr/bin/WebKitWebDriver";
// Debian puts WebKitGTK's MiniBrowser beside the library, not on the path.
const MINIBROWSER = ["webkit2gtk-4.1", "webkit2gtk-4.0"]
                        .map((v) => "/usr/lib/" + os.arch().replace("x64", "x86_64") +
                                    "-linux-gnu/" + v + "/MiniBrowser")
                        .find(existsSync) ||
                    "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser";

// What each engine needs, and the Debian package that brings it.
export const ENGINES = {
    chromium: {files: [CHROMIUM], packages: "chromium"},
    firefox: {files: [FIREFOX], packages: "firefox-esr"},
    webkit: {files: [WEBKIT_DRIVER, MINIBROWSER], packages: "webkit2gtk-driver"},
};

// Why engine cannot run here, or null if it can.
export function missing(engine) {
    const absent = ENGINES[engine].files.filter((file) => !existsSync(file));
    return absent.length ? absent.join(" and ") + " not found (Debian package " +
                               ENGINES[engine].packages + ")"
                         : null;
}

async function puppeteer_core() {
    try {
        return (await import("puppeteer-core")).default;
    } catch {
        return null;
    }
}

export async function can_drive(engine) {
    if (engine !== "webkit" && !(await puppeteer_core()))
        return "puppeteer-core is not installed (npm ci --omit=dev in tests/web)";
    return null;
}

const KEYS = {
    Enter: "\uE007"
};

// Chromium and Firefox alike, once puppeteer has launched them.
async function puppeteer_adapter(browser, cleanup) {
    const page = (await browser.pages())[0] || (await browser.newPage());
    return {
        version: await browser.version(),
        go: async function(url) {
            await page.goto(url, {waitUntil: "load"});
        },
        run: (source, ...args) =>
            page.evaluate("(" + source + ")(..." + JSON.stringify(args) + ")"),
        click: async function(selector, button) {
            await page.click(selector, {button: button === 2 ? "right" : "left"});
        },
        keys: async function(...keys) {
            for (const key of keys)
                await page.keyboard.press(key);
        },
        size: (width, height, ratio) =>
            page.setViewport({width: width, height: height, deviceScaleFactor: ratio || 1}),
        shot: (file) => page.screenshot({path: file}),
        close: async function() {
            await browser.close();
            cleanup();
        },
    };
}

async function chromium(webgl) {
    const puppeteer = await puppeteer_core();
    const profile = mkdtempSync(path.join(os.tmpdir(), "chromium-engine-"));
    const args = [
        "--no-sandbox", "--disable-background-networking", "--disable-component-update",
        "--disable-sync", "--no-first-run", "--user-data-dir=" + profile
    ];
    // Without a GPU and without SwiftShader, Chromium has no WebGL, in the
    // page or in a worker (--disable-webgl leaves it in workers).
    args.push(...(webgl ? ["--enable-unsafe-swiftshader"]
                        : ["--disable-gpu", "--disable-software-rasterizer"]));
    const browser = await puppeteer.launch({
        executablePath: CHROMIUM,
        headless: true,
        args: args,
        defaultViewport: {width: 1000, height: 800},
    });
    return puppeteer_adapter(browser, () => rmSync(profile, {recursive: true, force: true}));
}

async function firefox(webgl) {
    const puppeteer = await puppeteer_core();
    const prefs = {
        "webgl.disabled": !webgl,
        // Nothing from outside: no updates, studies or reports.
        "app.update.enabled": false,
        "datareporting.policy.dataSubmissionEnabled": false,
        "browser.shell.checkDefaultBrowser": false,
    };
    const browser = await puppeteer.launch({
        browser: "firefox",
        protocol: "webDriverBiDi",
        executablePath: FIREFOX,
        headless: true,
        extraPrefsFirefox: prefs,
        defaultViewport: {width: 1000, height: 800},
    });
    return puppeteer_adapter(browser, () => {});
}

// A display for MiniBrowser: the one the tests run on (test.sh's Xvfb), or
// an Xvfb of our own. Returns [DISPLAY, stop()].
async function x_display() {
    if (process.env.DISPLAY)
        return [process.env.DISPLAY, () => {}];
    const xvfb =
        spawn("Xvfb", ["-displayfd", "1", "-screen", "0", "1400x1000x24", "-nolisten", "tcp"],
              {stdio: ["ignore", "pipe", "ignore"]});
    const number = await new Promise(function(resolve, reject) {
        let text = "";
        xvfb.stdout.on("data", function(chunk) {
            text += chunk;
            if (text.includes("\n"))
                resolve(text.trim());
        });
        xvfb.on("error", reject);
        xvfb.on("exit", () => reject(new Error("Xvfb stopped")));
    });
    return [":" + number, () => xvfb.kill()];
}

function free_port() {
    return new Promise(function(resolve) {
        const server = net.createServer().listen(0, "127.0.0.1", function() {
            const port = server.address().port;
            server.close(() => resolve(port));
        });
    });
}

async function webkit(webgl) {
    const [display, stop_display] = await x_display();
    const port = await free_port();
    // MiniBrowser takes its language from LANG: with none it would say "C".
    const driver = spawn(WEBKIT_DRIVER, ["--port=" + port, "--host=127.0.0.1"], {
        stdio: "ignore",
        env: {...process.env, DISPLAY: display, LANG: "en_US.UTF-8", LANGUAGE: "en_US"},
    });
    const base = "http://127.0.0.1:" + port;
    async function call(method, where, body) {
        const response = await fetch(base + where, {
            method: method,
            headers: {"Content-Type": "application/json"},
            body: body === undefined ? undefined : JSON.stringify(body),
        });
        const answer = await response.json();
        if (!response.ok)
            throw new Error("WebDriver " + method + " " + where + ": " +
                            JSON.stringify(answer.value).slice(0, 500));
        return answer.value;
    }
    const end = Date.now() + 20000;
    for (;;) {
        try {
            if ((await call("GET", "/status")).ready)
                break;
        } catch (error) {
            if (Date.now() > end)
                throw new Error("WebKitWebDriver did not start: " + error.message);
        }
        await new Promise((resolve) => setTimeout(resolve, 50));
    }
    const args = ["--automation"];
    if (!webgl)
        args.push("--enable-webgl=false");
    const session = await call("POST", "/session", {
        capabilities: {
            alwaysMatch: {"webkitgtk:browserOptions": {binary: MINIBROWSER, args: args}},
        },
    });
    const at = "/session/" + session.sessionId;
    await call("POST", at + "/timeouts", {script: 120000, pageLoad: 60000});
    const element = async (selector) =>
        call("POST", at + "/element", {using: "css selector", value: selector});
    const actions = async (list) => {
        await call("POST", at + "/actions", {actions: list});
        await call("DELETE", at + "/actions");
    };
    return {
        version: "WebKitGTK " + session.capabilities.browserVersion,
        go: (url) => call("POST", at + "/url", {url: url}),
        run: async function(source, ...args) {
            const answer = await call("POST", at + "/execute/async", {
                script: "const done = arguments[arguments.length - 1];" +
                            "Promise.resolve().then(() => (" + source + ")(...arguments[0]))" +
                            ".then((value) => done({value: value === undefined ? null : value})," +
                            "(error) => done({error: String(error && error.stack || error)}));",
                args: [args],
            });
            if ("error" in answer)
                throw new Error(answer.error);
            return answer.value;
        },
        click: async function(selector, button) {
            await this.run((s) => document.querySelector(s).scrollIntoView({block: "center"}),
                           selector);
            const origin = await element(selector);
            await actions([{
                type: "pointer",
                id: "mouse",
                parameters: {pointerType: "mouse"},
                actions: [
                    {type: "pointerMove", origin: origin, x: 0, y: 0},
                    {type: "pointerDown", button: button}, {type: "pointerUp", button: button}
                ],
            }]);
        },
        keys: async function(...keys) {
            const list = [];
            for (const key of keys) {
                const value = KEYS[key] || key;
                list.push({type: "keyDown", value: value}, {type: "keyUp", value: value});
            }
            await actions([{type: "key", id: "keyboard", actions: list}]);
        },
        // The window's outer size: MiniBrowser's toolbar takes some of the
        // height, none of the width.
        size: (width, height) => call("POST", at + "/window/rect", {width: width, height: height}),
        shot: async function(file) {
            writeFileSync(file, Buffer.from(await call("GET", at + "/screenshot"), "base64"));
        },
        close: async function() {
            try {
                await call("DELETE", at);
            } finally {
                driver.kill();
                stop_display();
            }
        },
    };
}

// Starts engine, with WebGL or without; returns its adapter.
export function start(engine, webgl) {
    return {chromium: chromium, firefox: firefox, webkit: webkit}[engine](webgl);
}
