#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Makes the web pictures from the built pages in headless Chromium: the
index's picture of each viewer (web/page/NAME.png, the canvas alone) and the
README's picture of a page (docs/web-fieldgrid.png). It runs the models
through the test site's exports, and needs Python's imaging library (Debian's
python3-pil) beside what ./test.sh installs.

usage: scripts/web_screenshots.py [SITE]   (SITE defaults to build-web/test-site,
       which emcmake cmake -S . -B build-web -DWEB_TEST_SITE=ON builds)"""

import io
import os
import sys

try:
    from PIL import Image
except ImportError:
    sys.exit("web_screenshots.py needs Python's imaging library: sudo apt-get install python3-pil")

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, "tests", "web"))
import site_browser  # noqa: E402

# The same moments as the desktop pictures: four sweeps at temperature 1,
# sixty steps at alpha 1.5, from fixed starts.
RUNS = {"spingrid": "Module._web_spin_run(2026, 4, 1);",
        "fieldgrid": "Module._web_field_run(2026, 60, 1.5, 0);"}


def main():
    site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "build-web", "test-site")
    if not os.path.isfile(os.path.join(site, "fieldgrid.html")):
        sys.exit(f"web_screenshots.py: no pages in {site}; build them with\n"
                 "  emcmake cmake -S . -B build-web -DWEB_TEST_SITE=ON && cmake --build build-web")
    server, base = site_browser.serve(site)
    driver, profile = site_browser.start_chromium(900, 640)
    try:
        for program, run in RUNS.items():
            site_browser.open_page(driver, base + program + ".html")
            frames = driver.execute_script("return Module._web_frames();")
            driver.execute_script(run)
            site_browser.wait_for(lambda: driver.execute_script(
                "return Module._web_frames();") > frames, what="the frame")
            canvas = driver.find_element("id", "canvas")
            picture = Image.open(io.BytesIO(canvas.screenshot_as_png)).convert("RGB")
            picture.resize((256, 256), Image.NEAREST).save(
                os.path.join(REPO, "web", "page", program + ".png"), optimize=True)
            if program == "fieldgrid":
                page = Image.open(io.BytesIO(driver.get_screenshot_as_png())).convert("RGB")
                page.save(os.path.join(REPO, "docs", "web-fieldgrid.png"), optimize=True)
    finally:
        site_browser.stop_chromium(driver, profile)
        server.shutdown()


if __name__ == "__main__":
    main()
