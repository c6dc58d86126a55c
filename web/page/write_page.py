#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Writes a program's page and web app manifest from its description.

usage: write_page.py DESCRIBE PAGE_TEMPLATE MANIFEST_TEMPLATE ABOUT FOLDER

DESCRIBE is the command that prints the program's description as JSON
(describe_page.cpp, run by Node.js); the page's static texts come from it,
and the page carries it whole for its script, which so knows every text
before the module has loaded. ABOUT is the program's "What you see" HTML."""

import json
import os
import shlex
import subprocess
import sys


def escaped(text):
    """text as HTML text or a double-quoted attribute's value."""
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace(
        '"', "&quot;")


def fill(template, values):
    for key, value in values.items():
        template = template.replace("@" + key + "@", value)
    return template


def main(describe, page_template, manifest_template, about, folder):
    text = subprocess.run(shlex.split(describe), check=True, capture_output=True,
                          text=True).stdout
    page = json.loads(text)
    program = page["program"]
    with open(about, encoding="utf-8") as f:
        about_html = f.read()
    ends = "".join("<span>%s</span>" % escaped(end) for end in page["legend_ends"])
    # In a script element, "</" could end it early; JSON reads "<\/" as "</".
    carried = json.dumps(page, ensure_ascii=False, separators=(",", ":")).replace("</", "<\\/")
    values = {
        "PROGRAM": program,
        "DESCRIPTION": escaped(page["summary_line"]),
        "PRESSES": escaped(page["presses"]),
        "STEPS": escaped(page["steps"]),
        "LEGEND_ENDS": ends,
        "LEGEND_WORDS": escaped(page["legend_words"]),
        "ABOUT": about_html,
        "PAGE_DESCRIPTION": carried,
    }
    with open(page_template, encoding="utf-8") as f:
        html = fill(f.read(), values)
    with open(manifest_template, encoding="utf-8") as f:
        manifest = fill(f.read(), {
            "PAGE": program,
            "NAME": program,
            "SHORT_NAME": program,
            "ICON": program,
            "DESCRIPTION": json.dumps(page["summary_line"], ensure_ascii=False)[1:-1],
        })
    for name, content in ((program + ".html", html), (program + ".webmanifest", manifest)):
        with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
            f.write(content)


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__.strip().split("\n\n")[1])
    main(*sys.argv[1:])
