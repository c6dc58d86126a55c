#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Joins the page's script files into one, in the order given, so that a
page loads its script in one request.

usage: join_scripts.py OUTPUT INPUT..."""

import sys


def main(output, inputs):
    parts = ["// SPDX-License-Identifier: MIT\n// The page's script, joined from: %s\n" %
             ", ".join(name.rsplit("/", 1)[-1] for name in inputs)]
    for name in inputs:
        with open(name, encoding="utf-8") as f:
            parts.append("\n// ---- %s ----\n" % name.rsplit("/", 1)[-1] + f.read())
    with open(output, "w", encoding="utf-8") as f:
        f.write("".join(parts))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__.strip().split("\n\n")[1])
    main(sys.argv[1], sys.argv[2:])
