#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The web pages in headless Chromium: what they draw, how they answer real
presses, touches, keys, typing and the wheel, what they say to assistive
technology, the model's bits against the native build's, and the site offline,
updated and installed.

usage: test_pages.py SITE TEST_SITE PROBE   (SITE: build-web/site, the hosted
pages; TEST_SITE: build-web/test-site, the same with the tests' exports;
PROBE: the native scripted_run_probe)"""

import csv
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import urllib.error
import urllib.request

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.wheel_input import ScrollOrigin
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.common.exceptions import WebDriverException

import site_browser
from site_browser import wait_for

SITE = TEST_SITE = PROBE = None
SIDE = {"spingrid": 50, "fieldgrid": 64}

# The last frame's pixels at the centre of each cell, (i, j) in row-major
# order, and whether every pixel of the margin (a pixel's slack beside the
# grid allowed) is pure white. The drawing reads them as WebGL's readPixels
# does, rows from the bottom, as the grid's j counts.
READ_CELLS = """
const [n, done] = arguments;
lattice.drawing.pixels().then(function({width: w, height: h, data: px}) {
    const at = (x, y) => Array.from(px.subarray(4 * (y * w + x), 4 * (y * w + x) + 3));
    const cells = [];
    for (let i = 0; i < n; i++)
        for (let j = 0; j < n; j++)
            cells.push(at(Math.floor((i + 1.5) * w / (n + 2)), Math.floor((j + 1.5) * h / (n + 2))));
    const lo = w / (n + 2) - 1, hi = w * (n + 1) / (n + 2) + 1;
    let white = true;
    for (let y = 0; y < h; y++)
        for (let x = 0; x < w; x++)
            if ((x < lo || x > hi || y < lo || y > hi) && at(x, y).some(c => c !== 255))
                white = false;
    done({cells: cells, white: white, width: w, height: h});
});
"""

FIELD_BITS = """
return Array.from(new BigUint64Array(Module.HEAPF64.buffer, arguments[0], 4096),
                  x => x.toString(16).padStart(16, "0"));
"""


def probe(*arguments):
    return subprocess.run([PROBE, *map(str, arguments)], check=True, capture_output=True,
                          text=True).stdout.split()


class Pages(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server, cls.base = site_browser.serve(TEST_SITE)
        cls.hosted_server, cls.hosted_base = site_browser.serve(SITE)
        cls.driver, cls.profile = site_browser.start_chromium()
        cls.downloads = tempfile.mkdtemp(prefix="downloads-")
        site_browser.allow_downloads(cls.driver, cls.downloads)
        cls.driver.get("about:blank")
        site_browser.requested_urls(cls.driver)
        site_browser.console_errors(cls.driver)

    @classmethod
    def tearDownClass(cls):
        site_browser.stop_chromium(cls.driver, cls.profile)
        shutil.rmtree(cls.downloads, ignore_errors=True)
        cls.server.shutdown()
        cls.hosted_server.shutdown()

    def tearDown(self):
        # Whatever a test did, the page must have stayed on the site and
        # said nothing on the console.
        self.assertEqual(site_browser.console_errors(self.driver), [])
        outside = [u for u in site_browser.requested_urls(self.driver)
                   if not u.startswith(self.base) and not u.startswith(self.hosted_base)
                   and not u.startswith("data:")]
        self.assertEqual(outside, [])

    # ---- helpers ----
    def open(self, program, hosted=False, query=""):
        """Opens a page of the test site, or with hosted one of the site as
        it is shipped, with query after its address."""
        base = self.hosted_base if hosted else self.base
        site_browser.open_page(self.driver, base + program + ".html" + query)
        self.canvas = self.driver.find_element(By.ID, "canvas")
        self.driver.execute_script(
            "window.menus = [];"
            "window.addEventListener('contextmenu', e => menus.push(e.defaultPrevented));")

    def js(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def js_or_none(self, script, *arguments):
        """js(), or None while the page is being replaced."""
        try:
            return self.js(script, *arguments)
        except WebDriverException:
            return None

    def call(self, name, *arguments):
        return self.js("return Module._%s(...arguments);" % name, *arguments)

    def cells(self, program):
        return self.driver.execute_async_script(READ_CELLS, SIDE[program])

    def frame_after(self, frames):
        """Waits until the page has drawn a frame after the frames-th."""
        return wait_for(lambda: self.call("web_frames") > frames, what="a new frame")

    def after_pending_timers(self):
        """Returns once a 100 ms page timer set now has fired: by then the
        first timer of any burst started before has fired too."""
        self.driver.execute_async_script("setTimeout(arguments[0], 100);")

    def cdp_mouse(self, kind, x, y, button):
        self.driver.execute_cdp_cmd("Input.dispatchMouseEvent", {
            "type": kind, "x": x, "y": y, "button": button, "clickCount": 1})

    def cdp_touch(self, kind, x=0, y=0):
        points = [] if kind == "touchEnd" else [{"x": x, "y": y}]
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": kind, "touchPoints": points})

    def canvas_centre(self):
        return self.js("const r = arguments[0].getBoundingClientRect();"
                       "return [r.left + r.width / 2, r.top + r.height / 2];", self.canvas)

    def spinner(self, label):
        return self.js("for (const l of document.querySelectorAll('#controls label'))"
                       "  if (l.textContent.trim() === arguments[0]) return l.control;"
                       "return null;", label)

    def field(self, pointer=None):
        """The field's 4096 values (field_re, or those at pointer)."""
        return self.js("return Array.from(Module.HEAPF64.subarray(arguments[0] / 8,"
                       " arguments[0] / 8 + 4096));", pointer or self.call("web_field"))

    def assert_cells_show(self, field):
        """Each cell of the last frame has the red of its value, within one
        step of rounding, inside a white margin."""
        picture = self.cells("fieldgrid")
        self.assertTrue(picture["white"])
        for (r, g, b), v in zip(picture["cells"], field):
            self.assertLessEqual(abs(r - round(255 * (min(max(v, -1), 1) + 1) / 2)), 1)
            self.assertEqual((g, b), (0, 0))

    def text_of(self, element_id):
        return self.js("return document.getElementById(arguments[0]).textContent;", element_id)

    def key(self, key, code, key_code, **more):
        """A key pressed and let go through the DevTools protocol, for keys
        WebDriver has no name for."""
        for kind in ("rawKeyDown", "keyUp"):
            self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", dict(
                type=kind, key=key, code=code, windowsVirtualKeyCode=key_code, **more))

    def type_into(self, field, text, end=Keys.ENTER):
        field.click()
        field.send_keys(Keys.CONTROL + "a" + Keys.NULL, text, end)

    # ---- tests ----
    def test_first_picture_inside_a_white_margin(self):
        for program in SIDE:
            with self.subTest(program):
                self.open(program)
                self.assertEqual(self.driver.title, program)
                picture = self.cells(program)
                self.assertTrue(picture["white"])
                cells = picture["cells"]
                if program == "fieldgrid":
                    self.assertTrue(all(abs(r - 255) <= 1 and g == b == 0 for r, g, b in cells))
                else:
                    self.assertTrue(all(c in ([255, 0, 0], [0, 0, 0]) for c in cells))
                    self.assertTrue(0.4 < sum(c[0] == 255 for c in cells) / len(cells) < 0.6)

    def test_cells_show_the_model(self):
        self.open("fieldgrid")
        frames = self.call("web_frames")
        pointer = self.call("web_field_run", 99, 60, 1.5, 0)
        self.frame_after(frames)
        field = self.field(pointer)
        self.assertTrue(any(-0.9 < v < 0.9 for v in field))
        self.assert_cells_show(field)
        self.assertEqual(self.call("web_triangles") % (2 * 4096), 0)

    def test_canvas_fills_the_window_at_the_screen_density(self):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 900, "height": 700, "deviceScaleFactor": 2, "mobile": False})
        try:
            self.open("spingrid")
            side, room_below, room_right = self.js(
                "const c = arguments[0];"
                "const r = document.getElementById('grid').getBoundingClientRect();"
                "const panel = document.getElementById('controls').getBoundingClientRect();"
                "return [c.clientWidth, innerHeight - r.bottom,"
                "        innerWidth - Math.max(r.right, panel.right)];", self.canvas)
            picture = self.cells("spingrid")
            self.assertEqual((picture["width"], picture["height"]), (2 * side, 2 * side))
            # Inside the window, and as large as the tighter side allows.
            self.assertGreaterEqual(min(room_below, room_right), 0)
            self.assertLess(min(room_below, room_right), 40, (side, room_below, room_right))
        finally:
            self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_right_press_steps_once_without_a_menu(self):
        for program in SIDE:
            with self.subTest(program):
                self.open(program)
                before = self.cells(program)["cells"]
                frames = self.call("web_frames")
                ActionChains(self.driver).context_click(self.canvas).perform()
                self.frame_after(frames)
                self.after_pending_timers()
                self.assertEqual(self.call("web_frames"), frames + 1)
                self.assertNotEqual(self.cells(program)["cells"], before)
                self.assertEqual(self.js("return menus;"), [True])
                if program == "fieldgrid":
                    self.assertEqual(self.call("web_step_count"), 1)

    def test_left_press_runs_a_burst_of_timed_steps(self):
        for program in SIDE:
            with self.subTest(program):
                self.open(program)
                frames = self.call("web_frames")
                self.canvas.click()
                wait_for(lambda: self.call("web_frames") >= frames + 3, what="three steps")
                if program == "fieldgrid":
                    steps = self.call("web_step_count")
                    self.assertTrue(3 <= steps < 50, steps)

    def test_releases_other_buttons_and_presses_elsewhere_do_nothing(self):
        self.open("fieldgrid")
        x, y = self.canvas_centre()
        text = self.driver.find_element(By.ID, "presses").rect
        self.cdp_mouse("mousePressed", text["x"] + 5, text["y"] + 5, "left")
        self.cdp_mouse("mouseReleased", x, y, "left")
        self.cdp_mouse("mousePressed", x, y, "middle")
        self.cdp_mouse("mouseReleased", x, y, "middle")
        self.after_pending_timers()
        self.assertEqual(self.call("web_step_count"), 0)

    def test_tap_is_a_left_press_and_long_press_a_right_press(self):
        self.open("fieldgrid")
        x, y = self.canvas_centre()
        # Long press: the platform sends contextmenu while the finger is down.
        self.cdp_touch("touchStart", x, y)
        self.js("arguments[0].dispatchEvent(new MouseEvent('contextmenu',"
                " {bubbles: true, cancelable: true}));", self.canvas)
        self.cdp_touch("touchEnd")
        self.after_pending_timers()
        self.assertEqual(self.call("web_step_count"), 1)
        self.assertEqual(self.js("return menus;"), [True])
        # Where no contextmenu comes, holding the finger is enough.
        self.cdp_touch("touchStart", x, y)
        wait_for(lambda: self.call("web_step_count") == 2, what="a step from holding")
        self.cdp_touch("touchEnd")
        self.after_pending_timers()
        self.assertEqual(self.call("web_step_count"), 2)
        self.cdp_touch("touchStart", x, y)
        self.cdp_touch("touchEnd")
        wait_for(lambda: self.call("web_step_count") >= 4, what="a burst after a tap")

    def test_typed_alpha_reaches_the_next_step(self):
        self.open("fieldgrid")
        self.call("web_field_run", 7, 10, 1.5, 0)
        # No Enter: the press on the grid leaves the field, which commits.
        self.type_into(self.spinner("alpha"), "2.5", Keys.NULL)
        self.assertEqual(self.call("web_alpha"), 1.5)
        ActionChains(self.driver).context_click(self.canvas).perform()
        wait_for(lambda: self.call("web_step_count") == 11, what="the step")
        self.assertEqual(self.call("web_alpha"), 2.5)
        self.assertEqual(self.js(FIELD_BITS, self.call("web_field")), probe("field", 7, 10, 2.5, 1))

    def test_bad_text_is_refused(self):
        self.open("fieldgrid")
        field = self.spinner("alpha")
        self.type_into(field, "abc")
        self.assertEqual(self.call("web_alpha"), 1.5)
        self.assertEqual(float(field.get_attribute("value")), 1.5)
        # Said in words as well, each time: refused, limited, or nothing to
        # say when taken as typed.
        self.assertEqual(self.text_of("status"), "abc is not a number: alpha stays 1.5")
        self.type_into(field, "abc")
        self.assertEqual(self.text_of("status").strip(), "abc is not a number: alpha stays 1.5")
        self.open("spingrid")
        field = self.spinner("Temperature")
        for typed, said, value in (("2.5", "2.5 is not a whole number: Temperature stays 1", 1),
                                   ("7", "7 is above 4: Temperature is 4", 4),
                                   ("2.27", "2.27 is not a whole number: Temperature stays 4", 4)):
            self.type_into(field, typed)
            self.assertEqual(self.text_of("status").strip(), said)
            self.assertEqual(self.call("web_temperature"), value)

    def test_escape_gives_up_the_edit(self):
        self.open("fieldgrid")
        field = self.spinner("alpha")
        self.type_into(field, "3", Keys.ESCAPE)
        self.assertEqual(field.get_attribute("value"), "1.5")
        field.send_keys(Keys.TAB)
        self.assertEqual(self.call("web_alpha"), 1.5)

    def test_wheel_notch_and_arrow_key_step_once(self):
        self.open("fieldgrid")
        field = self.spinner("alpha")
        frames = self.call("web_frames")
        ActionChains(self.driver).scroll_from_origin(ScrollOrigin.from_element(field), 0,
                                                     -100).perform()
        wait_for(lambda: self.call("web_alpha") != 1.5, what="a step by the wheel")
        self.assertAlmostEqual(self.call("web_alpha"), 1.6, places=6)
        self.frame_after(frames)
        field.send_keys(Keys.ARROW_UP)
        wait_for(lambda: self.call("web_alpha") > 1.65, what="a step by Up")
        self.assertAlmostEqual(self.call("web_alpha"), 1.7, places=6)
        self.assertEqual(self.call("web_step_count"), 0)

    def test_model_gives_the_native_bits(self):
        self.open("fieldgrid")
        pointer = self.call("web_field_run", 2026, 100, 2.8, 100)
        got, want = self.js(FIELD_BITS, pointer), probe("field", 2026, 100, 2.8, 100)
        self.assertEqual(sum(a != b for a, b in zip(got, want)), 0)
        self.open("spingrid")
        pointer = self.call("web_spin_run", 7, 50, 2)
        got = self.js("return Array.from(Module.HEAP32.subarray(arguments[0] / 4,"
                      " arguments[0] / 4 + 2500));", pointer)
        self.assertEqual(got, [int(s) for s in probe("spins", 7, 50, 2)])

    def test_keyboard_presses_on_the_grid(self):
        self.open("spingrid", hosted=True)
        self.driver.execute_script("window.menus = [];"
                                   "addEventListener('contextmenu', e => menus.push(e.defaultPrevented));")
        caption = lambda: self.text_of("caption")
        active = lambda: self.js("return document.activeElement.id;")
        # One Tab stop, right after the heading's link, with a visible ring.
        self.driver.find_element(By.CSS_SELECTOR, "h1 a").send_keys(Keys.NULL)
        ActionChains(self.driver).send_keys(Keys.TAB).perform()
        self.assertEqual(active(), "canvas")
        self.assertTrue(self.js("return document.activeElement.matches(':focus-visible');"))
        # S, Shift+F10 and the menu key: one sweep each, at the spinner's
        # temperature; no menu shows.
        for n, right_press in enumerate([
                lambda: ActionChains(self.driver).send_keys("s").perform(),
                lambda: ActionChains(self.driver).key_down(Keys.SHIFT).send_keys(Keys.F10)
                .key_up(Keys.SHIFT).perform(),
                lambda: self.key("ContextMenu", "ContextMenu", 93)], start=1):
            right_press()
            wait_for(lambda: caption().startswith("Sweep %d at temperature 1:" % n),
                     what="sweep %d" % n)
        self.assertTrue(all(self.js("return menus;")))
        # Tab moves on to the choice of colours under the grid, then to the
        # spinner, whose keys stay its own.
        ActionChains(self.driver).send_keys(Keys.TAB).perform()
        self.assertEqual(active(), "colours")
        ActionChains(self.driver).send_keys(Keys.TAB).perform()
        self.assertEqual(active(), "glui-spinner-0")
        ActionChains(self.driver).send_keys("3", Keys.ENTER, " ").perform()
        self.after_pending_timers()
        self.assertTrue(caption().startswith("Sweep 3 at"))
        self.assertFalse(self.js("return Module._web_timers_pending() > 0;"))
        # Enter is a left press: a burst at the temperature of the press.
        ActionChains(self.driver).key_down(Keys.SHIFT).send_keys(Keys.TAB, Keys.TAB) \
            .key_up(Keys.SHIFT).perform()
        self.assertEqual(active(), "canvas")
        ActionChains(self.driver).send_keys(Keys.ENTER).perform()
        wait_for(lambda: self.text_of("announcer") == "100 sweeps started", what="the start")
        wait_for(lambda: caption().startswith("Sweep") and " at temperature 3:" in caption(),
                 what="a sweep of the burst")
        # Space is one too; a key held down (repeating) presses once.
        pending = self.js("return Module._web_timers_pending();")
        ActionChains(self.driver).send_keys(" ").perform()
        self.key(" ", "Space", 32, autoRepeat=True)
        self.assertGreaterEqual(self.js("return Module._web_timers_pending();"), pending + 90)
        self.assertLess(self.js("return Module._web_timers_pending();"), pending + 200)

    def test_caption_tells_the_model_as_it_stands(self):
        # Grids whose numbers are known, before the first step (when the
        # caption measures the model itself).
        self.open("spingrid", query="?seed=3")
        spins = "new Int32Array(Module.HEAP32.buffer, Module._web_spins(), 2500)"
        for fill, caption in (
                ("() => 1", "2,500 of 2,500 cells red, magnetisation +1.00, energy \u22122.000"),
                ("(s, n) => ((n / 50 | 0) + n) % 2 ? -1 : 1",
                 "1,250 of 2,500 cells red, magnetisation 0.00, energy +2.000")):
            self.js("const s = %s; s.forEach((v, n) => s[n] = (%s)(v, n));"
                    "lattice.words.update_caption();" % (spins, fill))
            self.assertEqual(self.text_of("caption"), "Sweep 0: " + caption + " per spin")
        self.open("fieldgrid", query="?seed=3")
        self.js("new Float64Array(Module.HEAPF64.buffer, Module._web_field(), 4096).fill(0.5);"
                "lattice.words.update_caption();")
        self.assertEqual(self.text_of("caption"),
                         "Step 0, time 0.0, alpha 1.5: 4,096 of 4,096 cells above zero, field from"
                         " +0.50 to +0.50, mean +0.50, RMS 0.00, wavenumber none per cell")
        # After a single step: said as it is shown.
        self.call("web_field_run", 5, 30, 2.0, 0)
        ActionChains(self.driver).context_click(self.canvas).perform()
        wait_for(lambda: self.text_of("caption").startswith("Step 31, time 3.1, alpha 2: "),
                 what="step 31")
        self.assertEqual(self.text_of("announcer"), self.text_of("caption"))
        # A scripted run is not the page's; the press after it is its first
        # sweep.
        self.open("spingrid")
        self.call("web_spin_run", 7, 10, 2)
        ActionChains(self.driver).context_click(self.canvas).perform()
        wait_for(lambda: self.text_of("caption").startswith("Sweep 1 at temperature 1: "),
                 what="sweep 1")
        # During a burst: the caption at most once a second, the start said
        # once.
        self.js("window.changes = [];"
                "new MutationObserver(() => changes.push(performance.now()))"
                "    .observe(document.getElementById('caption'), {childList: true});")
        self.canvas.click()
        wait_for(lambda: len(self.js("return changes;")) >= 3, what="three captions")
        changes = self.js("return changes;")
        # Ten milliseconds of slack: the observer notes each change a little
        # after the page made it, some more than others.
        self.assertGreaterEqual(min(b - a for a, b in zip(changes, changes[1:])), 990)
        self.assertEqual(self.text_of("announcer"), "100 sweeps started")

    def test_assistive_technology_sees_the_grid_and_the_spinner(self):
        self.open("fieldgrid", hosted=True)
        def nodes():
            found = {}
            for node in self.driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]:
                props = {p["name"]: p["value"].get("value") for p in node.get("properties", [])}
                value = lambda key: node.get(key, {}).get("value")
                found.setdefault(value("role"), []).append(
                    dict(props, name=value("name"), description=value("description"),
                         value=value("value")))
            return found
        tree = nodes()
        grid = [n for n in tree["button"] if n["name"] == "fieldgrid grid"]
        self.assertEqual(len(grid), 1)
        # Its description: the caption, then what its keys do, which it
        # names as its shortcuts too.
        self.assertEqual(grid[0]["description"],
                         self.text_of("caption") + " " + self.text_of("grid-keys"))
        self.assertIn("Enter", grid[0]["keyshortcuts"])
        self.assertEqual(sorted(n["name"] for n in tree["button"] if n is not grid[0]),
                         ["+ Increase alpha", "- Decrease alpha", "Copy link",
                          "Download data (CSV)", "Download growth rates (CSV)",
                          "Save picture (PNG)"])
        # The plot is a picture named by its legend; the table has its
        # headers.
        growth, plot, legend = sorted(tree["image"], key=lambda n: (
            n["name"].startswith("Colours"), not n["name"].startswith("Growth rate")))
        self.assertIn("wavenumber", plot["name"])
        self.assertIn("linear theory", growth["name"])
        self.assertEqual(legend["name"], "Colours: \u22121 or below black, 0 dark red,"
                                         " +1 or above red")
        self.assertEqual([n["name"] for n in tree["columnheader"]],
                         ["Quantity", "Measured", "Fastest-growing (linear theory)", "Verdict"])
        spinner, = tree["spinbutton"]
        self.assertEqual((spinner["name"], spinner["valuemin"], spinner["valuemax"],
                          spinner["valuetext"]), ("alpha", 1, 4, "1.5"))
        self.driver.find_element(By.CSS_SELECTOR, "button[aria-label^='+']").click()
        spinner, = nodes()["spinbutton"]
        self.assertEqual(spinner["valuetext"], "1.6")

    def test_grid_survives_a_lost_context(self):
        self.open("fieldgrid")
        self.js("lattice.drawing.lose_context(true);")
        # Steps run on while the context is away; the restored grid shows them.
        ActionChains(self.driver).context_click(self.canvas).perform()
        wait_for(lambda: self.call("web_step_count") == 1, what="a step")
        frames = self.call("web_frames")
        self.js("lattice.drawing.lose_context(false);")
        self.frame_after(frames)
        self.assert_cells_show(self.field())

    def test_grid_drawn_in_2d_when_a_lost_context_never_comes_back(self):
        self.open("fieldgrid")
        self.js("lattice.drawing.lose_context(true);")
        ActionChains(self.driver).context_click(self.canvas).perform()
        wait_for(lambda: self.js("return !!document.getElementById('canvas-2d');"), deadline=15,
                 what="the grid drawn in 2D over the lost canvas")
        # Presses still reach the grid beneath, and each is drawn over it.
        frames = self.call("web_frames")
        ActionChains(self.driver).context_click(self.canvas).perform()
        wait_for(lambda: self.call("web_step_count") == 2, what="a second step")
        self.frame_after(frames)
        self.assert_cells_show(self.field())
        self.assertEqual(self.js("return document.getElementById('canvas-2d')"
                                 ".getAttribute('aria-hidden');"), "true")

    def test_grid_drawn_by_the_page_where_workers_cannot(self):
        # Without a canvas to hand to a worker, the page draws the same
        # frames itself.
        script = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
            "source": "delete HTMLCanvasElement.prototype.transferControlToOffscreen;"})
        try:
            self.open("fieldgrid")
        finally:
            self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", script)
        self.assert_cells_show(self.field())
        frames = self.call("web_frames")
        ActionChains(self.driver).context_click(self.canvas).perform()
        self.frame_after(frames)
        self.assert_cells_show(self.field())

    def test_nothing_moves_as_the_page_starts(self):
        # What the module adds (the control panel, the table's numbers, the
        # seed, the plot) comes into room kept for it, on a phone's screen
        # and on a wide one: the layout shift score stays near nothing.
        script = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
            "source": "window.shifts = [];"
                      "new PerformanceObserver(l => shifts.push(...l.getEntries()))"
                      "    .observe({type: 'layout-shift', buffered: true});"})
        screens = {"phone": {"width": 412, "height": 823, "deviceScaleFactor": 1.75,
                             "mobile": True},
                   "wide": {"width": 1350, "height": 940, "deviceScaleFactor": 1,
                            "mobile": False}}
        try:
            for screen, metrics in screens.items():
                self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", metrics)
                for program in SIDE:
                    with self.subTest(program=program, screen=screen):
                        self.open(program)
                        shifted = self.js("return new Promise(done => requestAnimationFrame("
                                          "() => done(shifts.reduce((s, e) => s + e.value, 0))));")
                        self.assertLess(shifted, 0.01)
        finally:
            self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", script)
            self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_index_shows_both_viewers(self):
        self.driver.get(self.base + "index.html")
        for program in SIDE:
            link = self.driver.find_element(By.CSS_SELECTOR, "a[href='%s.html'] img" % program)
            wait_for(lambda: self.js("return arguments[0].complete && "
                                     "arguments[0].naturalWidth > 0;", link),
                     what="the picture of " + program)

    def test_axe_finds_nothing_on_the_three_pages(self):
        if not os.path.isfile(site_browser.AXE):
            self.skipTest("axe-core is not installed (npm ci --omit=dev in tests/web)")
        for page in ("index", *SIDE):
            with self.subTest(page):
                if page == "index":
                    self.driver.get(self.hosted_base + "index.html")
                else:
                    # Once the module has started, when the control panel is
                    # there, and after a step, when the table has numbers.
                    self.open(page, hosted=True)
                    ActionChains(self.driver).context_click(self.canvas).perform()
                    wait_for(lambda: self.text_of("caption").startswith(("Sweep 1 ", "Step 1,")),
                             what="a step")
                results = site_browser.axe_results(self.driver)
                self.assertEqual([(r["id"], [n["target"] for n in r["nodes"]])
                                  for r in results["violations"]], [])
                # What axe-core cannot decide by itself (a contrast over the
                # canvas, a name it cannot read) must not be on the controls.
                self.assertEqual([(r["id"], n["target"]) for r in results["incomplete"]
                                  for n in r["nodes"] if n["on_controls"]], [])

    def test_colours_chosen_draw_the_grid_name_it_and_are_remembered(self):
        self.open("spingrid")
        self.right_presses(1, "Sweep 1 ")
        self.assertIn(" cells red,", self.text_of("caption"))
        choice = self.driver.find_element(By.ID, "colours")
        self.assertEqual(choice.accessible_name, "Colours")
        self.assertEqual([o.text for o in choice.find_elements(By.TAG_NAME, "option")],
                         ["black\u2013red (design)", "blue\u2013yellow (for every eye)"])
        # By keyboard: the choice, then the grid in the scale's colours, the
        # caption's and the legend's words, the picture too.
        frames = self.call("web_frames")
        choice.send_keys(Keys.ARROW_DOWN)
        self.frame_after(frames)
        table = self.js("const at = Module._web_colour_table(1);"
                        "return Array.from(Module.HEAPU8.subarray(at, at + 768));")
        high, low = tuple(table[765:768]), tuple(table[0:3])
        spins = self.js("return Array.from(Module.HEAP32.subarray(Module._web_spins() / 4,"
                        " Module._web_spins() / 4 + 2500));")
        for colour, spin in zip(self.cells("spingrid")["cells"], spins):
            self.assertEqual(tuple(colour), high if spin == 1 else low)
        self.assertIn(" cells yellow,", self.text_of("caption"))
        self.assertEqual(self.js("return document.getElementById('legend')"
                                 ".getAttribute('aria-label');"),
                         "Colours: \u22121 dark blue, +1 yellow")
        _, data = self.download("save-png")
        width, _, rows = site_browser.png_pixels(data)
        scale = width // 52
        self.assertEqual(rows[int(1.5 * scale)][int(1.5 * scale)],
                         high if spins[49] == 1 else low)
        # Remembered for the site's other pages; back to the design's.
        self.open("fieldgrid")
        self.assertEqual(self.js("return document.getElementById('colours').value;"), "1")
        self.assertEqual(self.js("return document.getElementById('legend')"
                                 ".getAttribute('aria-label');"),
                         "Colours: \u22121 or below dark blue, 0 grey, +1 or above yellow")
        Select = __import__("selenium.webdriver.support.select", fromlist=["Select"]).Select
        Select(self.driver.find_element(By.ID, "colours")).select_by_index(0)
        self.open("spingrid")
        self.assertEqual(self.js("return document.getElementById('colours').value;"), "0")

    # ---- the run as data ----
    def download(self, button_id):
        """Presses the button and returns (name, bytes) of what it downloads."""
        return site_browser.downloaded(
            self.downloads, lambda: self.driver.find_element(By.ID, button_id).click())

    def run_csv(self):
        """The page's data file, as a spreadsheet reads it: (name, comment
        lines, header row, rows)."""
        name, data = self.download("download-csv")
        lines = data.decode("utf-8").splitlines()
        comments = [line for line in lines if line.startswith("#")]
        table = list(csv.reader(line for line in lines if not line.startswith("#")))
        return name, comments, table[0], table[1:]

    def right_presses(self, count, caption_starts):
        for _ in range(count):
            ActionChains(self.driver).context_click(self.canvas).perform()
        wait_for(lambda: self.text_of("caption").startswith(caption_starts),
                 what="the caption of %s" % (caption_starts,))

    def test_data_file_has_a_row_per_step_ending_with_the_caption(self):
        def number(pattern, text):
            return float(re.search(pattern, text)[1].replace("\u2212", "-").replace(",", ""))
        self.open("spingrid", hosted=True)
        self.right_presses(2, "Sweep 2 ")
        self.type_into(self.spinner("Temperature"), "3")
        self.right_presses(2, "Sweep 4 at temperature 3")
        name, comments, header, rows = self.run_csv()
        seed = self.text_of("seed").split()[-1]
        self.assertEqual(name, "spingrid-seed-%s-sweep-4.csv" % seed)
        # Comment lines stay in a spreadsheet's first column.
        self.assertTrue(all("," not in line for line in comments), comments)
        self.assertIn("# seed %s (this run again: " % seed, "\n".join(comments))
        self.assertEqual(header, ["sweep", "temperature", "m", "e"])
        self.assertEqual([(r[0], r[1]) for r in rows], [("1", "1"), ("2", "1"), ("3", "3"),
                                                          ("4", "3")])
        caption = self.text_of("caption")
        m, e = float(rows[-1][2]), float(rows[-1][3])
        self.assertEqual(number(r"magnetisation (\S+),", caption), round(m, 2))
        self.assertEqual(number(r"energy (\S+) per", caption), round(e, 3))
        self.assertEqual(number(r": (\S+) of", caption), round(2500 * (1 + m) / 2))
        # Every number reads back as exactly the number the page holds.
        self.assertEqual([m, e], self.js("const r = lattice.run.now(); return [r.m, r.e];"))

        self.open("fieldgrid", hosted=True)
        self.right_presses(3, "Step 3,")
        _, _, header, rows = self.run_csv()
        self.assertEqual(header, ["step", "time", "alpha", "mean", "rms", "min", "max", "kbar",
                                  "above_zero"])
        self.assertEqual([r[0] for r in rows], ["1", "2", "3"])
        last = dict(zip(header, map(float, rows[-1])))
        self.assertEqual(last, self.js("return lattice.run.now();"))
        caption = self.text_of("caption")
        for pattern, value, places in ((r"time (\S+),", last["time"], 1),
                                       (r"from (\S+) to", last["min"], 2),
                                       (r"to (\S+),", last["max"], 2),
                                       (r"mean (\S+),", last["mean"], 2),
                                       (r"RMS (\S+),", last["rms"], 2),
                                       (r"wavenumber (\S+) per", last["kbar"], 3),
                                       (r": (\S+) of", last["above_zero"], 0),
                                       (r"alpha (\S+):", last["alpha"], 1)):
            self.assertEqual(number(pattern, caption), round(value, places), pattern)

    def test_averages_say_whether_they_agree_and_the_file_keeps_it(self):
        # Seed 1 at temperature 1 settles into bands: after 2,000 sweeps the
        # energy differs from the infinite lattice's, and the page says why.
        self.open("spingrid", query="?seed=1&temperature=1")
        self.call("web_press", 2, 2000)
        self.js("lattice.words.update_caption();")
        rows = {r[0]: r[1:] for r in self.js(
            "return Array.from(document.querySelectorAll('#averages tbody tr'),"
            " (tr) => Array.from(tr.cells, (c) => c.textContent));")}
        measured, exact, verdict = rows["energy \u27e8e\u27e9 (J)"]
        self.assertRegex(measured, r"^\u2212[0-9.]+ \u00b1\u00a0[0-9.]+$")
        self.assertEqual(exact, "\u22121.9972")
        self.assertRegex(verdict, r"^differs by [0-9]+\.[0-9]\u03c3$")
        self.assertIn("bands", self.text_of("averages-note"))
        # The magnetisation and the specific heat, which the bands' slow
        # walls feed, wait for the whole run to settle.
        for row in ("magnetisation \u27e8|m|\u27e9", "specific heat c (k_B)"):
            self.assertEqual(rows[row][2], "not settled yet", row)
        self.assertEqual(rows["susceptibility \u03c7 (1/J)"][2], "\u2014")
        self.assertRegex(self.text_of("averages-says"), r"independent samples; \u03c4_int [0-9.]+ sweeps for e")
        # The file carries the summary as the table shows it, every number
        # read back exactly.
        _, comments, _, _ = self.run_csv()
        summary = dict(re.match(r"#   ([a-z_0-9]+)(?: \([^)]*\))? = ([^:]*):", line).groups()
                       for line in comments[comments.index("# summary when saved:") + 1:]
                       if re.match(r"#   [a-z_0-9]+", line))
        self.assertEqual(summary["verdict_e"], verdict)
        sigma = float(summary["sigma_e"])
        self.assertEqual(summary["sweeps_run"], "2000")
        self.assertAlmostEqual(float(summary["mean_e"]), -float(measured.split()[0][1:]),
                               delta=sigma)

    def test_growth_rates_file_sets_each_shell_beside_the_theory(self):
        self.open("fieldgrid", query="?seed=1")
        self.call("web_press", 2, 40)
        self.js("lattice.words.update_caption();")
        says = self.text_of("second-says")
        self.assertRegex(says, r"^The growth rates agree with the linear theory within 0\.0[0-4][0-9]")
        name, data = self.download("download-second")
        self.assertEqual(name, "fieldgrid-seed-1-growth-rates-step-40.csv")
        lines = data.decode("utf-8").splitlines()
        self.assertEqual(lines[0], "k,measured_rate,theory_rate,modes")
        shells = [[float(x) for x in line.split(",")] for line in lines[1:]]
        self.assertEqual(sum(int(m) for *_, m in shells), 4095, "every wave vector but k = 0")
        band = [(k, measured, theory) for k, measured, theory, _ in shells if 0.3 < k < 2]
        self.assertGreater(len(band), 10)
        for k, measured, theory in band:
            self.assertLess(abs(measured - theory), 0.05, "shell |k| = %.3f" % k)
        fastest = max(band, key=lambda shell: shell[1])[0]
        self.assertIn("|k| = %.2f" % fastest, says)

    def test_same_seed_and_presses_give_the_same_rows(self):
        def run(page, query, presses):
            self.open(page, hosted=True, query=query)
            for press in presses:
                press()
            return self.run_csv()
        def spingrid_presses():
            self.right_presses(2, "Sweep 2 ")
            self.type_into(self.spinner("Temperature"), "2")
            self.right_presses(2, "Sweep 4 at temperature 2")
        first = run("spingrid", "?seed=7", [spingrid_presses])
        self.assertEqual(self.text_of("seed"), "Seed 7")
        self.assertEqual(first[0], "spingrid-seed-7-sweep-4.csv")
        self.assertEqual(run("spingrid", "?seed=7", [spingrid_presses])[3], first[3])
        # The link to copy carries the seed and the spinner's value, and
        # starts the same run.
        self.driver.find_element(By.ID, "copy-link").click()
        link = wait_for(lambda: re.search(r"(http\S+)$", self.text_of("status")), what="a link")[1]
        self.assertEqual(link, self.hosted_base + "spingrid.html?seed=7&temperature=2")
        fieldgrid = run("fieldgrid", "?seed=7&alpha=2.5", [lambda: self.right_presses(2, "Step 2,")])
        self.assertEqual([r[2] for r in fieldgrid[3]], ["2.5", "2.5"])
        self.assertEqual(run("fieldgrid", "?seed=7&alpha=2.5",
                             [lambda: self.right_presses(2, "Step 2,")])[3], fieldgrid[3])

    def test_picture_has_the_grids_cells(self):
        for program in SIDE:
            with self.subTest(program):
                self.open(program)
                self.right_presses(1, ("Sweep 1 ", "Step 1,"))
                name, data = self.download("save-png")
                self.assertTrue(name.startswith(program + "-seed-"), name)
                self.assertTrue(name.endswith(("-sweep-1.png", "-step-1.png")), name)
                width, height, rows = site_browser.png_pixels(data)
                n = SIDE[program]
                scale = width // (n + 2)
                self.assertEqual((width, height), (scale * (n + 2), scale * (n + 2)))
                self.assertGreaterEqual(scale, 8)
                if program == "spingrid":
                    values = self.js("return Array.from(Module.HEAP32.subarray("
                                     "Module._web_spins() / 4, Module._web_spins() / 4 + 2500));")
                else:
                    values = self.field()
                for i in range(n):
                    for j in range(n):
                        v = min(max(values[i * n + j], -1), 1)
                        red = round(255 * (v + 1) / 2)
                        # Every pixel of the cell's square, up from the bottom.
                        y0, x0 = (n - j) * scale, (i + 1) * scale
                        square = {rows[y][x] for y in range(y0, y0 + scale)
                                  for x in range(x0, x0 + scale)}
                        self.assertEqual(len(square), 1, (i, j))
                        r, g, b = square.pop()
                        self.assertLessEqual(abs(r - red), 1, (i, j))
                        self.assertEqual((g, b), (0, 0))
                self.assertEqual({rows[0][x] for x in range(width)}, {(255, 255, 255)})

    def test_bad_address_is_said_and_ignored(self):
        self.open("spingrid", hosted=True,
                  query="?seed=12abc&temperature=7&colour=<img src=x onerror=alert(1)>&seed=5")
        status = self.text_of("status")
        self.assertIn("temperature=7 is above 4: Temperature is 4.", status)
        self.assertIn("seed=12abc (a seed is a whole number from 0 to 4,294,967,295)", status)
        self.assertIn("colour=<img src=x onerror=alert\u2026 (this page has no such setting)", status)
        self.assertIn("seed=5 (given twice)", status)
        # Said, never made into markup; the run goes on from the clock.
        self.assertEqual(self.js("return document.querySelectorAll('img').length;"), 0)
        self.assertGreater(int(self.text_of("seed").split()[-1]), 1700000000)
        self.right_presses(1, "Sweep 1 at temperature 4:")
        for query, said in (("?temperature=" + "9" * 5000, "(too long)"),
                            ("?temperature=2.5", "2.5 is not a whole number: Temperature stays 1"),
                            ("?temperature=%ZZ", "%ZZ is not a number: Temperature stays 1"),
                            ("?seed=99999999999", "(a seed is a whole number")):
            with self.subTest(query[:20]):
                self.open("spingrid", hosted=True, query=query)
                self.assertIn(said, self.text_of("status"))
                self.right_presses(1, "Sweep 1 at temperature 1:")

    def test_numbers_keep_their_place_during_a_burst(self):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 1024, "height": 625, "deviceScaleFactor": 1, "mobile": False})
        try:
            self.open("spingrid", hosted=True)
            boxes = ("return ['caption', 'measure', 'plot', 'averages', 'take-away', 'about']"
                     ".map(id => document.getElementById(id).getBoundingClientRect())"
                     ".map(r => [r.left, r.top, r.width, r.height]).concat("
                     "[[innerWidth - document.documentElement.clientWidth]]);")
            before = self.js(boxes)
            self.canvas.click()
            wait_for(lambda: re.match(r"Sweep ([3-9]|\d\d)", self.text_of("caption")),
                     what="sweep 3")
            self.assertEqual(self.js(boxes), before)
        finally:
            self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_plot_draws_whatever_the_browsers_language(self):
        # Tags a browser may report that no locale lookup reads: a bare "C"
        # (no LANG), an empty one, and a well-formed tag no engine knows.
        for language in ("C", "", "zz-Qqqq-QQ-x-lattice"):
            with self.subTest(language=language):
                script = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
                    "source": "Object.defineProperty(Navigator.prototype, 'language',"
                              " {get: () => %s, configurable: true});" % json.dumps(language)
                })["identifier"]
                try:
                    self.open("spingrid")
                    self.assertEqual(self.js("return navigator.language;"), language or "")
                    ActionChains(self.driver).context_click(self.canvas).perform()
                    wait_for(lambda: self.js("return !!document.querySelector('#plot .uplot');"),
                             what="the plot under %r" % language)
                finally:
                    self.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument",
                                                {"identifier": script})

    def test_plot_redraws_at_most_four_times_a_second_and_never_at_rest(self):
        script = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
            "source": "window.plot_draws = [];"
                      "const clear = CanvasRenderingContext2D.prototype.clearRect;"
                      "CanvasRenderingContext2D.prototype.clearRect = function () {"
                      "    if (this.canvas.closest && this.canvas.closest('#plot'))"
                      "        plot_draws.push(performance.now());"
                      "    return clear.apply(this, arguments);"
                      "};"})["identifier"]
        self.addCleanup(self.driver.execute_cdp_cmd, "Page.removeScriptToEvaluateOnNewDocument",
                        {"identifier": script})
        self.open("fieldgrid")
        drawn = self.js("return plot_draws.length;")
        self.after_pending_timers()
        self.driver.execute_async_script("setTimeout(arguments[0], 600);")
        self.assertEqual(self.js("return plot_draws.length;"), drawn)
        self.canvas.click()
        # A redraw may clear the canvas more than once, all in one task.
        def redraws():
            times = self.js("return plot_draws;")[drawn:]
            return [t for k, t in enumerate(times) if k == 0 or t - times[k - 1] > 20]
        wait_for(lambda: len(redraws()) >= 4, what="four redraws")
        starts = redraws()
        # Ten milliseconds of slack, as the draws are noted a little late.
        self.assertGreaterEqual(min(b - a for a, b in zip(starts, starts[1:])), 240)

    def test_thinned_rows_are_said(self):
        self.open("spingrid")
        # Past the rows kept whole and the thinned rows' room: one in two of
        # the oldest go.
        memory = self.call("web_record_fill", 170000)
        self.assertLess(memory, 64 << 20)
        self.js("lattice.words.update_caption();")
        self.assertTrue(self.text_of("caption").startswith("Sweep 170,000 "))
        self.assertEqual(self.text_of("thinned"), "Rows before sweep 38,929 are thinned to one "
                         "in 2 (in the plot, the averages and the data file); every later one "
                         "is kept.")
        _, comments, _, rows = self.run_csv()
        self.assertIn("# rows: thinned: of sweeps 1 to 38;928 one in 2 is kept; from sweep 38;929"
                      " to 170;000 every one", comments)
        self.assertEqual(len(rows), self.js("return lattice.run.current().held;"))
        self.assertEqual([int(r[0]) for r in rows[:3]], [1, 3, 5])
        self.assertEqual(rows[-1][0], "170000")

    # ---- offline use, updates and installing ----
    def site_copy(self, paths=("",)):
        """Serves a copy of the site at each of paths under one folder, on a
        port of its own: an origin of its own, which no service worker
        controls yet. tearDown then checks that the test's requests stayed on
        that origin. Returns (folder, server)."""
        folder = tempfile.mkdtemp(prefix="site-copy-")
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        for path in paths:
            shutil.copytree(SITE, os.path.join(folder, path), dirs_exist_ok=True)
        server, self.base = site_browser.serve(folder)
        self.addCleanup(server.server_close)
        self.addCleanup(server.shutdown)
        return folder, server

    def open_controlled(self, url):
        """Opens a page and waits until the site's service worker controls it."""
        site_browser.open_page(self.driver, url)
        wait_for(lambda: self.js("return !!navigator.serviceWorker.controller;"), 30,
                 "the service worker to control " + url)

    def page_build(self):
        return self.js("return new URL(document.querySelector('script[src^=\"page.js\"]').src)"
                       ".searchParams.get('v');")

    def mark_wasm(self):
        """From now on, each page keeps in window.wasm_mark which .wasm it
        ran (see WASM_MARK)."""
        script = self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                             {"source": WASM_MARK})["identifier"]
        self.addCleanup(self.driver.execute_cdp_cmd, "Page.removeScriptToEvaluateOnNewDocument",
                        {"identifier": script})

    def deploy(self, folder, program, mark):
        """A new build of the site in folder: program.wasm gets the custom
        section "offline-test" with mark, and the site is stamped again.
        Returns the new build."""
        with open(os.path.join(folder, program + ".wasm"), "ab") as f:
            f.write(wasm_custom_section(b"offline-test", mark))
        worker = os.path.join(folder, "service-worker.js")
        before = os.path.getmtime(worker)
        subprocess.run([sys.executable, STAMP, folder], check=True, capture_output=True)
        # The browser checks the worker with If-Modified-Since, which the
        # test server answers to the second: a worker stamped within the
        # second of the one before would pass for it.
        after = max(os.path.getmtime(worker), before + 1)
        os.utime(worker, (after, after))
        return worker_build(folder)

    def wait_for_worker(self, build, ask=False):
        """Waits until the worker of build controls the page. With ask, the
        page asks for the check for a new worker that the browser makes at a
        navigation, for a page that stays open."""
        if ask:
            self.js("navigator.serviceWorker.getRegistration().then(r => r.update());")
        wait_for(lambda: self.driver.execute_async_script(NEW_WORKER_CONTROLS, build), 30,
                 "the worker of build %s to control the page" % build)

    def test_offline_after_one_visit(self):
        _, server = self.site_copy()
        self.open_controlled(self.base + "spingrid.html")
        server.shutdown()
        server.server_close()
        with self.assertRaises(urllib.error.URLError):
            urllib.request.urlopen(self.base + "index.html", timeout=5)
        # The page again, and the pages not visited yet, from the cache.
        for program in ("spingrid", "fieldgrid"):
            site_browser.open_page(self.driver, self.base + program + ".html")
        self.test_index_shows_both_viewers()

    def test_update_of_one_file_is_served_whole(self):
        folder, server = self.site_copy()
        page = self.base + "spingrid.html"
        # Which .wasm the page ran: a custom section that the new one has.
        self.mark_wasm()
        self.open_controlled(page)
        old = self.page_build()
        self.assertEqual(old, worker_build(folder))
        wasm = os.path.join(folder, "spingrid.wasm")
        sizes = [os.path.getsize(wasm)]
        new = self.deploy(folder, "spingrid", b"new")
        sizes.append(os.path.getsize(wasm))
        self.assertNotEqual(new, old)

        # The first visit after it is still of the old build, whole, while
        # the new one comes in the background and its worker takes over.
        site_browser.open_page(self.driver, page)
        self.assertEqual(self.page_build(), old)
        self.assertEqual(self.js("return window.wasm_mark;"), [])
        self.wait_for_worker(new)
        # The old page still gets the old build's files; from the cache, as
        # the server is gone.
        server.shutdown()
        server.server_close()
        self.assertEqual(self.driver.execute_async_script(WASM_SIZES, [old, new]), sizes)

        # The next visit is of the new build, every file of it.
        site_browser.open_page(self.driver, page)
        self.assertEqual(self.page_build(), new)
        self.assertEqual(self.js("return window.wasm_mark;"), ["new"])
        loaded = self.js("return performance.getEntriesByType('resource').map(e => e.name);")
        files = [url[len(self.base):].partition("?")[::2] for url in loaded]
        self.assertLessEqual({"page.css", "page.js", "offline.js", "spingrid.js", "spingrid.wasm"},
                             {path for path, _ in files})
        # The browser's own fetches of the manifest's icons ask for the
        # newest build: no "?v=".
        icons = ("spingrid-192.png", "spingrid-512.png")
        self.assertEqual({query for path, query in files if path not in icons}, {"v=" + new},
                         files)
        self.assertEqual({query for path, query in files if path in icons} - {""}, set())

    def test_copies_on_one_origin_work_offline_side_by_side(self):
        copies = ("physics", "maths")
        folder, server = self.site_copy([copy + "/viewers" for copy in copies])
        scope = {copy: self.base + copy + "/viewers/" for copy in copies}
        self.mark_wasm()
        marks, builds = {}, {}
        for copy in copies:
            marks[copy] = [copy]
            builds[copy] = [self.deploy(os.path.join(folder, copy, "viewers"), "fieldgrid",
                                        copy.encode())]
            self.open_controlled(scope[copy] + "fieldgrid.html")
        # maths deployed twice more and visited after each: its first build's
        # cache goes, physics's stays.
        for n in (2, 3):
            marks["maths"].append("maths %d" % n)
            builds["maths"].append(self.deploy(os.path.join(folder, "maths", "viewers"),
                                               "fieldgrid", marks["maths"][-1].encode()))
            site_browser.open_page(self.driver, scope["maths"] + "fieldgrid.html")
            self.wait_for_worker(builds["maths"][-1])
        kept = self.driver.execute_async_script(
            "caches.keys().then(arguments[arguments.length - 1]);")
        self.assertEqual({name for name in kept if " build " in name},
                         {scope["physics"] + " build " + builds["physics"][0]} |
                         {scope["maths"] + " build " + b for b in builds["maths"][1:]})

        server.shutdown()
        server.server_close()
        for copy in copies:
            site_browser.open_page(self.driver, scope[copy] + "fieldgrid.html")
            self.assertEqual(self.page_build(), builds[copy][-1])
            self.assertEqual(self.js("return window.wasm_mark;"), marks[copy])

    def test_page_of_a_gone_build_loads_again_whole(self):
        folder, _ = self.site_copy()
        self.mark_wasm()
        self.open_controlled(self.base + "spingrid.html")
        first = self.page_build()
        self.js("window.first_page = true;")
        # Two deploys, each taken over by its worker while the page stays
        # open: the first build's cache goes with the second.
        for mark in (b"b", b"c"):
            build = self.deploy(folder, "spingrid", mark)
            self.wait_for_worker(build, ask=True)
        self.assertTrue(self.js("return window.first_page === true;"))

        # The page asks for its module, as it does while starting: neither the
        # server's build nor a failure, but the page again as the last build.
        self.js("const script = document.createElement('script');"
                "script.src = 'spingrid.js?v=' + arguments[0];"
                "document.body.appendChild(script);", first)
        wait_for(lambda: self.js_or_none("return !window.first_page && Module.calledRun;"), 30,
                 "the page to start again")
        self.assertEqual(self.page_build(), build)
        self.assertEqual(self.js("return window.wasm_mark;"), ["b", "c"])

        # With the build's own cache gone too (emptied by hand, say), a reload
        # could not make the page whole and would only come back: the worker
        # leaves the page be, and its files come from the network, as the
        # page did.
        self.js("window.first_page = true;")
        self.assertEqual(self.driver.execute_async_script("""
            const [build, done] = arguments;
            navigator.serviceWorker.getRegistration()
                .then(r => caches.delete(r.scope + " build " + build))
                .then(() => fetch("spingrid.wasm?v=" + build))
                .then(r => done(r.status), e => done(String(e)));""", build), 200)
        self.assertTrue(self.js("return window.first_page === true;"))

    def test_pages_are_installable(self):
        for page, name in (("index", "spingrid and fieldgrid"), ("spingrid", "spingrid"),
                           ("fieldgrid", "fieldgrid")):
            with self.subTest(page):
                self.driver.get(self.base + page + ".html")
                manifest = self.driver.execute_cdp_cmd("Page.getAppManifest", {})
                self.assertEqual(manifest["errors"], [])
                self.assertEqual(json.loads(manifest["data"])["name"], name)
                self.assertEqual(self.driver.execute_cdp_cmd(
                    "Page.getInstallabilityErrors", {})["installabilityErrors"], [])


class Stamp(unittest.TestCase):
    """The build's stamp, without a browser."""

    def test_stamp_without_one_place_to_go_fails_and_writes_nothing(self):
        worker = "service-worker.js"
        for name, change, said in (
                (worker, lambda t: re.sub(r"^(const BUILD =) (.*)$", r"\1\n    \2", t,
                                          flags=re.M), "const BUILD"),
                (worker, lambda t: t + "const FILES = {};\n", "const FILES"),
                ("fieldgrid.html", lambda t: re.sub(r'src="(page\.js)[^"]*"', r"src='\1'", t),
                 "src='page.js'")):
            with self.subTest(said):
                folder = tempfile.mkdtemp(prefix="site-copy-")
                self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
                shutil.copytree(SITE, folder, dirs_exist_ok=True)
                with open(os.path.join(folder, name), encoding="utf-8") as f:
                    text = change(f.read())
                with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
                    f.write(text)
                before = folder_bytes(folder)
                done = subprocess.run([sys.executable, STAMP, folder], capture_output=True,
                                      text=True)
                self.assertNotEqual(done.returncode, 0)
                self.assertIn(os.path.join(folder, name) + ":", done.stderr)
                self.assertIn(said, done.stderr)
                self.assertEqual(folder_bytes(folder), before)


# For the update tests: the custom section "offline-test" of each .wasm a page
# instantiates, kept in window.wasm_mark (empty for a .wasm without one).
WASM_MARK = """
for (const name of ["instantiate", "instantiateStreaming"]) {
    const original = WebAssembly[name];
    WebAssembly[name] = function () {
        return original.apply(this, arguments).then(function (result) {
            if (result.module)
                window.wasm_mark = WebAssembly.Module.customSections(result.module, "offline-test")
                    .map(b => new TextDecoder().decode(b));
            return result;
        });
    };
}
"""
# Whether the worker of build arguments[0] is active and controls the page.
NEW_WORKER_CONTROLS = """
const [build, done] = arguments;
navigator.serviceWorker.getRegistration().then(registration =>
    caches.match("active", {cacheName: registration.scope + " builds"})
        .then(r => r ? r.text() : "")
        .then(active => done(active === build && !!registration.active &&
            registration.active.state === "activated" &&
            navigator.serviceWorker.controller === registration.active)));
"""
# The sizes of spingrid.wasm as of each build in arguments[0].
WASM_SIZES = """
const [builds, done] = arguments;
Promise.all(builds.map(b => fetch("spingrid.wasm?v=" + b).then(r => r.arrayBuffer())))
    .then(buffers => done(buffers.map(b => b.byteLength)));
"""
STAMP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "web", "offline",
                     "stamp_site.py")


def worker_build(folder):
    with open(os.path.join(folder, "service-worker.js")) as f:
        return re.search(r'^const BUILD = "(\w+)";$', f.read(), re.M)[1]


def folder_bytes(folder):
    """Each file of folder (not of its subfolders) by name, as bytes."""
    files = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb") as f:
            files[name] = f.read()
    return files


def wasm_custom_section(name, payload):
    body = bytes([len(name)]) + name + payload
    return bytes([0, len(body)]) + body


if __name__ == "__main__":
    SITE, TEST_SITE, PROBE = sys.argv[1:4]
    for folder in (SITE, TEST_SITE):
        if not os.path.isfile(os.path.join(folder, "spingrid.html")):
            sys.exit("test_pages.py: no site in %s; build it first: emcmake cmake -S . -B build-web"
                     " -DWEB_TEST_SITE=ON && cmake --build build-web" % folder)
    unittest.main(argv=sys.argv[:1] + sys.argv[4:], verbosity=2)
