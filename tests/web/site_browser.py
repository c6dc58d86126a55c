# SPDX-License-Identifier: MIT
"""Serves a built site on 127.0.0.1 and drives Debian's headless Chromium on
it, for the browser tests and the web benchmark."""

import functools
import http.server
import json
import os
import shutil
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

CHROMIUM = "/usr/lib/chromium/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(site):
    """Starts a static server of the folder site on a free port of 127.0.0.1;
    returns (server, base URL). server.shutdown() stops it."""
    handler = functools.partial(QuietHandler, directory=site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


def start_chromium(width=1000, height=800):
    """A headless Chromium with WebGL (SwiftShader) and its console and
    network logs kept; returns (driver, profile folder to remove)."""
    profile = tempfile.mkdtemp(prefix="chromium-profile-")
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ("--headless=new", "--no-sandbox", "--enable-unsafe-swiftshader",
                     "--disable-background-networking", "--disable-component-update",
                     "--disable-sync", "--no-first-run", "--user-data-dir=" + profile,
                     "--window-size=%d,%d" % (width, height)):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    # The pages let the browser drop a frame's pixels once it has shown them;
    # kept, a test can read them back whenever it looks.
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": """
        const get_context = HTMLCanvasElement.prototype.getContext;
        HTMLCanvasElement.prototype.getContext = function (type, attributes) {
            return get_context.call(this, type,
                                    Object.assign({}, attributes, {preserveDrawingBuffer: true}));
        };"""})
    return driver, profile


def stop_chromium(driver, profile):
    driver.quit()
    shutil.rmtree(profile, ignore_errors=True)


def allow_downloads(driver, folder):
    """Lets the pages' downloads go to folder without asking."""
    driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": folder})


def downloaded(folder, click, deadline=20.0):
    """Empties folder, calls click(), then waits for the one file it
    downloads there; returns (name, bytes). (Emptied, so that a file of the
    same name as one before keeps its name.)"""
    for name in os.listdir(folder):
        os.remove(os.path.join(folder, name))
    click()
    # Chromium may show the file under its own name before the last bytes
    # are in: the download is done once its size has stayed the same for a
    # tenth of a second.
    seen = {}
    def done():
        new = [f for f in os.listdir(folder) if not f.endswith(".crdownload")]
        if len(new) != 1:
            return None
        size = os.path.getsize(os.path.join(folder, new[0]))
        if seen.get("size") != size:
            seen.update(size=size, since=time.monotonic())
        return new[0] if size > 0 and time.monotonic() - seen["since"] >= 0.1 else None
    name = wait_for(done, deadline, "a download")
    with open(os.path.join(folder, name), "rb") as f:
        return name, f.read()


def png_pixels(data):
    """The pixels of an 8-bit RGB or RGBA PNG without interlacing, as
    (width, height, rows of (r, g, b) tuples): enough to read the pages'
    pictures as a viewer reads them."""
    import struct
    import zlib
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, chunks = 8, {}
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        chunks.setdefault(kind, []).append(data[at + 8:at + 8 + length])
        at += 12 + length
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[b"IHDR"][0])
    assert depth == 8 and colour in (2, 6) and interlace == 0, "an unexpected PNG layout"
    step = 3 if colour == 2 else 4
    raw = zlib.decompress(b"".join(chunks[b"IDAT"]))
    stride = width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - step] if x >= step else 0
            b = previous[x]
            c = previous[x - step] if x >= step else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, step)])
        previous = line
    return width, height, rows


def wait_for(condition, deadline=10.0, what="the condition"):
    """Calls condition() until it returns something true, and returns that;
    raises AssertionError after deadline seconds."""
    end = time.monotonic() + deadline
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("waited %.0f s for %s" % (deadline, what))
        time.sleep(0.02)


def requested_urls(driver):
    """Every URL the browser asked for since the last call."""
    urls = []
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message["method"] == "Network.requestWillBeSent":
            urls.append(message["params"]["request"]["url"])
    return urls


def console_errors(driver):
    """Console messages of level error since the last call."""
    return [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"]


def open_page(driver, url):
    """Navigates and waits until the module has started, the page has set
    up the run's words, table and plot and, on a page of the test site, the
    module has drawn its first frame."""
    driver.get(url)
    wait_for(lambda: driver.execute_script(
        "return !!(window.Module && Module.calledRun && lattice.started &&"
        " (Module._web_frames ? Module._web_frames() > 0 : true));"),
        what="the first frame of " + url)


# axe-core, pinned in package.json beside this file (npm ci --omit=dev there),
# and the rules it runs: WCAG 2.2 levels A and AA as axe-core tags them (each
# version's new criteria have their own tag) and its best practices.
AXE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "node_modules", "axe-core",
                   "axe.min.js")
AXE_TAGS = ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22aa", "best-practice"]


def axe_results(driver):
    """Runs axe-core with AXE_TAGS on the page open in driver. Returns
    {"violations": [...], "incomplete": [...]}, each item {"id", "impact",
    "help", "nodes": [{"target", "on_controls"}]}; on_controls is true for the
    grid's canvas, the inputs and buttons of the control panel, and
    everything the measurements section holds (plot, table, buttons)."""
    if not os.path.isfile(AXE):
        raise AssertionError("no %s; install it with: npm ci --omit=dev --prefix %s" % (
            AXE, os.path.dirname(os.path.abspath(__file__))))
    with open(AXE, encoding="utf-8") as f:
        driver.execute_script(f.read())
    results = driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        function on_controls(target) {
            const element = document.querySelector(target[target.length - 1]);
            const controls = document.getElementById("controls");
            const measure = document.getElementById("measure");
            return !!element && (element.id === "canvas" ||
                                 (!!controls && controls.contains(element) &&
                                  /^(INPUT|BUTTON)$/.test(element.tagName)) ||
                                 (!!measure && measure.contains(element)));
        }
        function brief(items) {
            return items.map(r => ({id: r.id, impact: r.impact, help: r.help,
                                    nodes: r.nodes.map(n => ({target: n.target,
                                                              on_controls: on_controls(n.target)}))}));
        }
        axe.run(document, {runOnly: {type: "tag", values: arguments[0]}}).then(
            r => done({violations: brief(r.violations), incomplete: brief(r.incomplete)}),
            e => done({error: String(e)}));""", AXE_TAGS)
    if "error" in results:
        raise AssertionError("axe-core failed: " + results["error"])
    return results
