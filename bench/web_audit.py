#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""An audit of the web pages: Lighthouse 12.2.3 (mobile and desktop presets)
and axe-core on index, spingrid and fieldgrid, served from SITE on 127.0.0.1
to Debian's headless Chromium. Prints one table: per page and preset the four
Lighthouse scores, the total blocking time and the longest main-thread task
as Lighthouse simulates them (the mobile preset's CPU is 4 times slower, 2
times for a task that lays out the page), and
axe-core's violations and "incomplete" (needs review) results, with the rules
named below the table. Medians over --runs Lighthouse runs.

usage: bench/web_audit.py [--runs N] [--pages P,...] [--presets mobile,desktop] [SITE]
  SITE defaults to build-web/site. Installs Lighthouse (npm ci in tests/web)
  when it is not there yet."""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOOLS = os.path.join(REPO, "tests", "web")
sys.path.insert(0, TOOLS)
import site_browser  # noqa: E402

PAGES = ("index", "spingrid", "fieldgrid")
PRESETS = ("mobile", "desktop")
CATEGORIES = ("performance", "accessibility", "best-practices", "seo")
# The machine has no network: nothing may run in the background that would
# wait for it, and every run starts from an empty profile.
CHROME_FLAGS = ["--headless=new", "--no-sandbox", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run"]
# The screens the presets emulate, for axe-core's runs: layout decides, for
# instance, whether the control panel sits beside the grid or below it.
SCREENS = {
    "mobile": {"width": 412, "height": 823, "deviceScaleFactor": 1.75, "mobile": True},
    "desktop": {"width": 1350, "height": 940, "deviceScaleFactor": 1, "mobile": False},
}
# A task longer than this blocks input (Lighthouse's long task).
LONG_TASK_MS = 50


def installed_version(package):
    try:
        with open(os.path.join(TOOLS, "node_modules", package, "package.json")) as f:
            return json.load(f)["version"]
    except (OSError, ValueError, KeyError):
        return None


def ensure_lighthouse():
    """Lighthouse as the lock file pins it, installed with the development
    dependencies when missing; returns its command."""
    with open(os.path.join(TOOLS, "package-lock.json")) as f:
        pinned = json.load(f)["packages"]["node_modules/lighthouse"]["version"]
    if installed_version("lighthouse") != pinned:
        print("Installing Lighthouse %s (npm ci in tests/web) ..." % pinned, flush=True)
        subprocess.run(["npm", "ci", "--no-audit", "--no-fund"], cwd=TOOLS, check=True,
                       stdout=subprocess.DEVNULL)
    return os.path.join(TOOLS, "node_modules", ".bin", "lighthouse")


def lighthouse(command, url, preset):
    """One Lighthouse run; returns its scores (0..100 by category), the total
    blocking time and the longest main-thread task (ms, simulated)."""
    profile = tempfile.mkdtemp(prefix="lighthouse-profile-")
    out = tempfile.mkdtemp(prefix="lighthouse-report-")
    try:
        arguments = [command, url, "--quiet", "--output=json",
                     "--output-path=" + os.path.join(out, "report.json"),
                     "--only-categories=" + ",".join(CATEGORIES),
                     "--chrome-flags=" + " ".join(CHROME_FLAGS + ["--user-data-dir=" + profile])]
        if preset == "desktop":
            arguments.append("--preset=desktop")
        subprocess.run(arguments, check=True, env=dict(os.environ, CHROME_PATH=site_browser.CHROMIUM))
        with open(os.path.join(out, "report.json")) as f:
            report = json.load(f)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
        shutil.rmtree(out, ignore_errors=True)
    if report.get("runtimeError"):
        raise RuntimeError("Lighthouse on %s (%s): %s" % (url, preset,
                                                          report["runtimeError"]["message"]))
    scores = {}
    for name in CATEGORIES:
        score = report["categories"][name]["score"]
        if score is None:
            raise RuntimeError("Lighthouse gave no %s score for %s (%s)" % (name, url, preset))
        scores[name] = round(100 * score)
    audits = report["audits"]
    # The long tasks as Lighthouse simulates them, the ones its blocking time
    # adds up: under the mobile preset a task takes four times as long as
    # observed, or twice if it laid out the page. None listed: none over
    # 50 ms.
    tasks = audits["long-tasks"].get("details", {}).get("items", [])
    longest = max((t["duration"] for t in tasks), default=0)
    return scores, audits["total-blocking-time"]["numericValue"], longest


def axe_on_pages(base, pages):
    """axe-core's results for each page on each preset's screen:
    {(page, preset): results}."""
    driver, profile = site_browser.start_chromium()
    results = {}
    try:
        for preset in PRESETS:
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", SCREENS[preset])
            for page in pages:
                if page == "index":
                    driver.get(base + "index.html")
                else:
                    site_browser.open_page(driver, base + page + ".html")
                results[page, preset] = site_browser.axe_results(driver)
    finally:
        site_browser.stop_chromium(driver, profile)
    return results


def rules(items):
    return ", ".join("%s (%d)" % (r["id"], len(r["nodes"])) for r in items) or "none"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("site", nargs="?", default=os.path.join(REPO, "build-web", "site"))
    parser.add_argument("--runs", type=int, default=1, help="Lighthouse runs per row (median)")
    parser.add_argument("--pages", default=",".join(PAGES))
    parser.add_argument("--presets", default=",".join(PRESETS))
    options = parser.parse_args()
    pages = [p for p in options.pages.split(",") if p]
    presets = [p for p in options.presets.split(",") if p]
    unknown = set(pages) - set(PAGES) | set(presets) - set(PRESETS)
    if unknown or options.runs < 1:
        parser.error("unknown page or preset, or no runs: %s" % ", ".join(sorted(unknown)))
    if not os.path.isfile(os.path.join(options.site, "fieldgrid.html")):
        sys.exit("web_audit.py: no site in %s; build it first: emcmake cmake -S . -B build-web"
                 " && cmake --build build-web" % options.site)
    command = ensure_lighthouse()

    server, base = site_browser.serve(options.site)
    rows = []
    try:
        found = axe_on_pages(base, pages)
        for page in pages:
            for preset in presets:
                runs = [lighthouse(command, base + page + ".html", preset)
                        for _ in range(options.runs)]
                scores = {n: statistics.median(r[0][n] for r in runs) for n in CATEGORIES}
                rows.append((page, preset, scores, statistics.median(r[1] for r in runs),
                             statistics.median(r[2] for r in runs), found[page, preset]))
    finally:
        server.shutdown()

    print("%-9s %-7s  %4s %4s %4s %4s  %7s %10s  %4s %10s" % (
        "page", "preset", "perf", "a11y", "bp", "seo", "TBT_ms", "longest_ms", "axe",
        "incomplete"))
    for page, preset, scores, blocking, longest, axe in rows:
        print("%-9s %-7s  %4.0f %4.0f %4.0f %4.0f  %7.0f %10.0f  %4d %10d" % (
            page, preset, *(scores[n] for n in CATEGORIES), blocking, longest,
            len(axe["violations"]), len(axe["incomplete"])))
    print("(scores 0..100; TBT and the longest main-thread task as Lighthouse simulates them;"
          " axe: rules violated, and rules it could not decide, WCAG 2.2 A/AA and best"
          " practice; medians of %d Lighthouse run%s)" % (options.runs,
                                                          "" if options.runs == 1 else "s"))
    for page, preset, scores, blocking, longest, axe in rows:
        print("axe %s, %s: violations: %s; incomplete: %s" % (
            page, preset, rules(axe["violations"]), rules(axe["incomplete"])))
    for page, preset, scores, blocking, longest, axe in rows:
        if page == "fieldgrid" and preset == "mobile":
            print("fieldgrid's start-up, mobile: longest task %.0f ms (target: none over %d ms),"
                  " total blocking time %.0f ms" % (longest, LONG_TASK_MS, blocking))


if __name__ == "__main__":
    main()
