#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The web pages' figures on this machine, beside the native build's:
advance_one_step in headless Chromium and natively (median of runs), the
page's share of one frame (made and handed to the worker that draws it), what
each page transfers gzipped, the time from navigation to the first frame, and
the work a page does at rest.

usage: bench/web_bench.py [SITE [PROBE]]
  SITE  defaults to build-web/test-site (the pages with the tests' exports,
  which ./test.sh builds), PROBE to build/tests/scripted_run_probe"""

import gzip
import os
import statistics
import subprocess
import sys
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, "tests", "web"))
import site_browser  # noqa: E402

RUNS = 7
STEPS = 300


def median_of(measure):
    return statistics.median(measure() for _ in range(RUNS))


def main():
    site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "build-web", "test-site")
    probe = sys.argv[2] if len(sys.argv) > 2 else os.path.join(REPO, "build", "tests",
                                                             "scripted_run_probe")
    def native(*arguments):
        return median_of(lambda: float(subprocess.run(
            [probe, *arguments], check=True, capture_output=True, text=True).stdout))
    native_step = native("time-steps", str(STEPS))
    # wasm has two-lane vectors only; the desktop takes four where AVX2 is.
    native_two_lanes = native("time-steps", str(STEPS), "2")
    native_sweep = native("time-sweeps", str(STEPS), "2")

    server, base = site_browser.serve(site)
    driver, profile = site_browser.start_chromium()
    rows = []
    try:
        driver.execute_cdp_cmd("Network.enable", {})
        driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        driver.execute_cdp_cmd("Performance.enable", {})
        for program in ("spingrid", "fieldgrid"):
            first = []
            for _ in range(RUNS):
                driver.get(base + program + ".html")
                first.append(driver.execute_async_script("""
                    const done = arguments[0];
                    (function look() {
                        if (window.Module && Module.calledRun && Module._web_frames() > 0)
                            done(performance.now());
                        else
                            requestAnimationFrame(look);
                    })();"""))
            draw = median_of(lambda: driver.execute_script("return Module._web_time_draw(20);"))
            if program == "fieldgrid":
                driver.execute_script("Module._web_field_run(1, 0, 1.5, 0);")
                web = median_of(lambda: driver.execute_script(
                    "return Module._web_time_steps(%d);" % STEPS))
                native, what = native_step, "advance_one_step"
            else:
                driver.execute_script("Module._web_spin_run(1, 0, 1);")
                web = median_of(lambda: driver.execute_script(
                    "return Module._web_time_sweeps(%d, 2);" % STEPS))
                native, what = native_sweep, "metropolis_sweep(2)"
            # At rest: the main thread's script and task time over a second.
            def busy():
                metrics = driver.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
                return {m["name"]: m["value"] for m in metrics}
            frames = driver.execute_script("return Module._web_frames();")
            before = busy()
            time.sleep(1.0)
            after = busy()
            rest_ms = 1000 * (after["TaskDuration"] - before["TaskDuration"])
            rest_frames = driver.execute_script("return Module._web_frames();") - frames
            # Every file the page loads (its icons aside).
            files = [program + ".html", program + ".js", program + ".wasm", "page.js",
                     "page.css", "uPlot.iife.min.js", "uPlot.min.css", "offline.js",
                     "webgl_draw.js"]
            raw = b"".join(open(os.path.join(site, f), "rb").read() for f in files)
            transfer = sum(len(gzip.compress(open(os.path.join(site, f), "rb").read(), 9))
                           for f in files)
            rows.append((program, what, web, native, draw, transfer, len(raw),
                         statistics.median(first), rest_ms, rest_frames))
    finally:
        site_browser.stop_chromium(driver, profile)
        server.shutdown()

    print("%-9s  %-20s %9s %9s %6s  %9s %11s  %11s  %11s" % (
        "page", "step", "web_us", "native_us", "ratio", "draw_ms", "gzip_KB",
        "first_ms", "rest"))
    for (program, what, web, native, draw, transfer, raw, first, rest_ms,
         rest_frames) in rows:
        print("%-9s  %-20s %9.1f %9.1f %6.2f  %9.2f %5.1f/%-5.1f  %11.0f  %4.1f ms %d fr" % (
            program, what, web, native, web / native, draw, transfer / 1024, raw / 1024,
            first, rest_ms, rest_frames))
    print("(targets: ratio <= 1.5, draw < 5 ms, gzip < 150 KB, first frame < 1000 ms,"
          " nothing at rest; draw_ms is the page's share of a frame, made and handed to the"
          " worker that draws it; gzip_KB is gzipped/raw of every file the page loads)")
    web_step = [r for r in rows if r[0] == "fieldgrid"][0][2]
    print("advance_one_step natively on two lanes (SSE2): %.1f us; web / that: %.2f" % (
        native_two_lanes, web_step / native_two_lanes))


if __name__ == "__main__":
    main()
