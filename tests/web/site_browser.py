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
    """Navigates and waits until the module has started and, on a page of the
    test site, drawn its first frame."""
    driver.get(url)
    wait_for(lambda: driver.execute_script(
        "return !!(window.Module && Module.calledRun &&"
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
    grid's canvas and the inputs and buttons of the control panel."""
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
            return !!element && (element.id === "canvas" ||
                                 (!!controls && controls.contains(element) &&
                                  /^(INPUT|BUTTON)$/.test(element.tagName)));
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
