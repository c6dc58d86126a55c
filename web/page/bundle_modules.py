#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Joins the page's ES modules into one classic script, so that a page loads
its script in one request and the site's stamp and offline copy see one
file.

usage: bundle_modules.py OUTPUT ENTRY

Starting from ENTRY, each module comes after those it imports, in the order
its imports name them; each runs in a function of its own, which hands on
what it exports. The modules are written in the subset this reads:
  import {a, b} from "./file.js";   (one statement, which may span lines)
  export function name / export const name / export let name
Anything else that imports or exports stops the build."""

import os
import re
import sys

IMPORT = re.compile(r'^import\s*\{([^}]*)\}\s*from\s*"\./([A-Za-z0-9_]+)\.js";[ \t]*\n', re.M)
EXPORT = re.compile(r"^export\s+(?:async\s+)?(?:function\*?|const|let|class)\s+([A-Za-z0-9_$]+)",
                    re.M)
STRAY = re.compile(r"^\s*(?:import|export)\b", re.M)


def read_module(folder, name):
    with open(os.path.join(folder, name + ".js"), encoding="utf-8") as f:
        text = f.read()
    imports = [(module, [n.strip() for n in names.split(",") if n.strip()])
               for names, module in IMPORT.findall(text)]
    exports = EXPORT.findall(text)
    body = EXPORT.sub(lambda m: m.group(0)[len("export"):].lstrip(), IMPORT.sub("", text))
    stray = STRAY.search(body)
    if stray:
        sys.exit("bundle_modules.py: %s.js: cannot read: %s" %
                 (name, body[stray.start():].split("\n", 1)[0]))
    return imports, exports, body


def ordered(folder, entry):
    """The modules entry needs, each after those it imports."""
    order, modules, visiting = [], {}, set()

    def visit(name):
        if name in modules:
            return
        if name in visiting:
            sys.exit("bundle_modules.py: %s.js imports itself through others" % name)
        visiting.add(name)
        modules_of = read_module(folder, name)
        for module, _ in modules_of[0]:
            visit(module)
        modules[name] = modules_of
        order.append(name)

    visit(entry)
    return order, modules


def main(output, entry_path):
    folder, entry = os.path.split(entry_path)
    entry = entry[:-len(".js")]
    order, modules = ordered(folder, entry)
    parts = ["// SPDX-License-Identifier: MIT\n// The page's script, its modules joined: %s\n"
             "(function() {\n\"use strict\";\n" % ", ".join(n + ".js" for n in order)]
    for name in order:
        imports, exports, body = modules[name]
        taken = "".join("const {%s} = module_%s;\n" % (", ".join(names), module)
                        for module, names in imports)
        parts.append("\n// ---- %s.js ----\nconst module_%s = (function() {\n%s%s\nreturn {%s};\n"
                     "})();\n" % (name, name, taken, body, ", ".join(exports)))
    parts.append("})();\n")
    with open(output, "w", encoding="utf-8") as f:
        f.write("".join(parts))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().split("\n\n")[1])
    main(sys.argv[1], sys.argv[2])
