#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The web pages in headless Chromium: what they draw, how they answer real
presses, touches, typing and the wheel, and the model's bits against the
native build's.

usage: test_pages.py SITE PROBE   (SITE: build-web/site; PROBE: the native
scripted_run_probe)"""

import os
import subprocess
import sys
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.wheel_input import ScrollOrigin
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

import site_browser
from site_browser import wait_for

SITE = PROBE = None
SIDE = {"spingrid": 50, "fieldgrid": 64}

# The last frame's pixels at the centre of each cell, (i, j) in row-major
# order, and whether every pixel of the margin (a pixel's slack beside the
# grid allowed) is pure white. readPixels counts rows from the bottom, as the
# grid's j does.
READ_CELLS = """
const n = arguments[0];
const canvas = document.getElementById("canvas");
const gl = canvas.getContext("webgl");
const w = canvas.width, h = canvas.height;
const px = new Uint8Array(w * h * 4);
gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, px);
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
return {cells: cells, white: white};
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
        cls.server, cls.base = site_browser.serve(SITE)
        cls.driver, cls.profile = site_browser.start_chromium()
        cls.driver.get("about:blank")
        site_browser.requested_urls(cls.driver)
        site_browser.console_errors(cls.driver)

    @classmethod
    def tearDownClass(cls):
        site_browser.stop_chromium(cls.driver, cls.profile)
        cls.server.shutdown()

    def tearDown(self):
        # Whatever a test did, the page must have stayed on the site and
        # said nothing on the console.
        self.assertEqual(site_browser.console_errors(self.driver), [])
        outside = [u for u in site_browser.requested_urls(self.driver)
                   if not u.startswith(self.base) and not u.startswith("data:")]
        self.assertEqual(outside, [])

    # ---- helpers ----
    def open(self, program):
        site_browser.open_page(self.driver, self.base + program + ".html")
        self.canvas = self.driver.find_element(By.ID, "canvas")
        self.driver.execute_script(
            "window.menus = [];"
            "window.addEventListener('contextmenu', e => menus.push(e.defaultPrevented));")

    def js(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def call(self, name, *arguments):
        return self.js("return Module._%s(...arguments);" % name, *arguments)

    def cells(self, program):
        return self.js(READ_CELLS, SIDE[program])

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
        field = self.js("return Array.from(Module.HEAPF64.subarray(arguments[0] / 8,"
                        " arguments[0] / 8 + 4096));", pointer)
        self.assertTrue(any(-0.9 < v < 0.9 for v in field))
        for (r, g, b), v in zip(self.cells("fieldgrid")["cells"], field):
            self.assertLessEqual(abs(r - round(255 * (min(max(v, -1), 1) + 1) / 2)), 1)
            self.assertEqual((g, b), (0, 0))
        self.assertEqual(self.call("web_triangles") % (2 * 4096), 0)

    def test_canvas_fills_the_window_at_the_screen_density(self):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 900, "height": 700, "deviceScaleFactor": 2, "mobile": False})
        try:
            self.open("spingrid")
            side, width, height, room_below, room_right = self.js(
                "const c = arguments[0], r = c.getBoundingClientRect();"
                "const panel = document.getElementById('controls').getBoundingClientRect();"
                "return [c.clientWidth, c.width, c.height, innerHeight - r.bottom,"
                "        innerWidth - Math.max(r.right, panel.right)];", self.canvas)
            self.assertEqual((width, height), (2 * side, 2 * side))
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

    def test_index_shows_both_viewers(self):
        self.driver.get(self.base + "index.html")
        for program in SIDE:
            link = self.driver.find_element(By.CSS_SELECTOR, "a[href='%s.html'] img" % program)
            wait_for(lambda: self.js("return arguments[0].complete && "
                                     "arguments[0].naturalWidth > 0;", link),
                     what="the picture of " + program)

    def test_axe_finds_nothing_on_the_three_pages(self):
        for page in ("index", *SIDE):
            with self.subTest(page):
                if page == "index":
                    self.driver.get(self.base + "index.html")
                else:
                    # After the first frame, when the control panel is there.
                    self.open(page)
                results = site_browser.axe_results(self.driver)
                self.assertEqual([(r["id"], [n["target"] for n in r["nodes"]])
                                  for r in results["violations"]], [])
                # What axe-core cannot decide by itself (a contrast over the
                # canvas, a name it cannot read) must not be on the controls.
                self.assertEqual([(r["id"], n["target"]) for r in results["incomplete"]
                                  for n in r["nodes"] if n["on_controls"]], [])


if __name__ == "__main__":
    SITE, PROBE = sys.argv[1], sys.argv[2]
    if not os.path.isfile(os.path.join(SITE, "spingrid.html")):
        sys.exit("test_pages.py: no site in %s; build it first: emcmake cmake -S . -B build-web"
                 " && cmake --build build-web" % SITE)
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)
