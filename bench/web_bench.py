#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The web pages' figures on this machine, beside the native build's:
advance_one_step and a sweep in headless Chromium and natively (median of
runs), with and without the page's record of the step; the page's share of
one frame (made and handed to the worker that draws it); what each page
transfers gzipped; the time from navigation to the
first frame; the work a page does at rest; the record's memory after 10^5
and 10^6 steps; and what the pages measure: spingrid's averages after 2,000
sweeps at each temperature beside the exact values, fieldgrid's mean
wavenumber after 200 and 500 steps at alpha 1.5 and 3.

usage: bench/web_bench.py [SITE [PROBE]]
  SITE defaults to build-web/test-site (the pages with the tests' exports,
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
SEED = 1


def median_of(measure):
    return statistics.median(measure() for _ in range(RUNS))


def transfer(site, program):
    """Every file a viewer page loads, its icons aside: (gzipped bytes, raw
    bytes)."""
    files = [program + ".html", program + ".js", program + ".wasm", "page.js", "page.css",
             "uPlot.iife.min.js", "uPlot.min.css", "offline.js", "webgl_draw.js"]
    raw = [open(os.path.join(site, f), "rb").read() for f in files]
    return sum(len(gzip.compress(data, 9)) for data in raw), sum(map(len, raw))


def timings(driver, base, site, native):
    rows = []
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
        # The same steps alone and as a burst's timer runs them, recorded,
        # alternately, so that the load of the moment weighs on both.
        recorded = """const at = Module._web_time_recorded(%d) / 8;
                      return Module.HEAPF64[at + 1] / Module.HEAPF64[at];""" % STEPS
        if program == "fieldgrid":
            driver.execute_script("Module._web_field_run(1, 0, 1.5, 0);")
            web = median_of(lambda: driver.execute_script(
                "return Module._web_time_steps(%d);" % STEPS))
            what = "advance_one_step"
        else:
            driver.execute_script("Module._web_spin_run(1, 0, 1);")
            web = median_of(lambda: driver.execute_script(
                "return Module._web_time_sweeps(%d, 1);" % STEPS))
            what = "metropolis_sweep(1)"
        web_recorded = web * median_of(lambda: driver.execute_script(recorded))
        # At rest: the main thread's script and task time over a second, once
        # the plot the steps above asked for has been made and drawn.
        site_browser.wait_for(lambda: driver.execute_script(
            "return !!document.querySelector('#plot .uplot');"), what="the plot")
        time.sleep(0.5)
        def busy():
            metrics = driver.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
            return {m["name"]: m["value"] for m in metrics}
        frames = driver.execute_script("return Module._web_frames();")
        before = busy()
        time.sleep(1.0)
        after = busy()
        rest_ms = 1000 * (after["TaskDuration"] - before["TaskDuration"])
        rest_frames = driver.execute_script("return Module._web_frames();") - frames
        gz, raw = transfer(site, program)
        rows.append((program, what, web, web_recorded, native[program], draw, gz, raw,
                     statistics.median(first), rest_ms, rest_frames))
    print("%-9s  %-20s %8s %8s %9s %6s  %7s %11s  %8s  %11s" % (
        "page", "step", "web_us", "rec_us", "native_us", "ratio", "draw_ms", "gzip_KB",
        "first_ms", "rest"))
    for (program, what, web, web_recorded, native_us, draw, gz, raw, first, rest_ms,
         rest_frames) in rows:
        print("%-9s  %-20s %8.1f %8.1f %9.1f %6.2f  %7.2f %5.1f/%-5.1f  %8.0f  %4.1f ms %d fr" % (
            program, what, web, web_recorded, native_us, web / native_us, draw, gz / 1024,
            raw / 1024, first, rest_ms, rest_frames))
    print("(web_us: the step alone in the page; rec_us: the same recorded, web_us times the ratio"
          " of the two timed alternately;"
          " ratio: web / native; draw_ms: the page's share of a frame, made and handed to the"
          " worker that draws it; gzip_KB: gzipped/raw of every file the page loads; targets:"
          " ratio <= 1.5, rec_us <= 1.15 web_us, draw < 5 ms, gzip <= 100 KB, first frame"
          " < 1000 ms, nothing at rest)")


def memory(driver, base):
    print("\nThe record's memory (spingrid's 4 and fieldgrid's 9 numbers a row):")
    for program in ("spingrid", "fieldgrid"):
        site_browser.open_page(driver, base + program + ".html")
        start = driver.execute_script("return Module.HEAP8.length;")
        after = []
        for total in (10 ** 5, 10 ** 6):
            heap = driver.execute_script(
                "return Module._web_record_fill(%d - lattice.run.current().steps);" % total)
            after.append((total, heap, driver.execute_script("return lattice.run.current().held;"),
                          driver.execute_script("return lattice.run.current().stride;")))
        print("  %-9s at start %5.1f MB; " % (program, start / 2 ** 20) + "; ".join(
            "after %d steps %5.1f MB (%d rows held, one in %d of the older)" % (
                total, heap / 2 ** 20, held, stride) for total, heap, held, stride in after))


def measured(driver, base):
    print("\nspingrid, seed %d, 2,000 sweeps at each temperature (averages over the last 1,000),"
          " beside the infinite lattice's exact values:" % SEED)
    print("  %-3s %14s %16s %14s %8s" % ("T", "<|m|> / m0", "<e> / u", "c / c(T)", "chi"))
    for T in (1, 2, 3, 4):
        site_browser.open_page(driver, base + "spingrid.html?seed=%d&temperature=%d" % (SEED, T))
        s = driver.execute_script("Module._web_press(2, 2000); return lattice.run.summary();")
        print("  %-3d %6.4f/%-7.4f %7.4f/%-8.4f %6.4f/%-7.4f %8.3f" % (
            T, s["mean_abs_m"], s["m0"], s["mean_e"], s["u"], s["c"], s["c_exact"], s["chi"]))
    print("fieldgrid, seed %d: mean wavenumber (radians per cell) beside the fastest-growing one:"
          % SEED)
    for alpha in ("1.5", "3"):
        site_browser.open_page(driver, base + "fieldgrid.html?seed=%d&alpha=%s" % (SEED, alpha))
        after_200 = driver.execute_script("Module._web_press(2, 200); return lattice.run.now().kbar;")
        after_500 = driver.execute_script("Module._web_press(2, 300); return lattice.run.now().kbar;")
        fastest = driver.execute_script("return lattice.run.summary().k_fastest;")
        print("  alpha %-3s after 200 steps %.4f, after 500 steps %.4f; theory %.4f" % (
            alpha, after_200, after_500, fastest))


def main():
    site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "build-web", "test-site")
    probe = sys.argv[2] if len(sys.argv) > 2 else os.path.join(REPO, "build", "tests",
                                                             "scripted_run_probe")
    def native_of(*arguments):
        return median_of(lambda: float(subprocess.run(
            [probe, *arguments], check=True, capture_output=True, text=True).stdout))
    native = {"fieldgrid": native_of("time-steps", str(STEPS)),
              "spingrid": native_of("time-sweeps", str(STEPS), "1")}
    # wasm has two-lane vectors only; the desktop takes four where AVX2 is.
    native_two_lanes = native_of("time-steps", str(STEPS), "2")

    server, base = site_browser.serve(site)
    driver, profile = site_browser.start_chromium()
    try:
        driver.execute_cdp_cmd("Network.enable", {})
        driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        driver.execute_cdp_cmd("Performance.enable", {})
        timings(driver, base, site, native)
        print("advance_one_step natively on two lanes (SSE2): %.1f us" % native_two_lanes)
        memory(driver, base)
        measured(driver, base)
    finally:
        site_browser.stop_chromium(driver, profile)
        server.shutdown()


if __name__ == "__main__":
    main()
