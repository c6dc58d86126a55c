#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Joins the page's ES modules into one classic script, so that a page loads
its script in one request and the site's stamp and offline copy see one
file.

usage: bundle_modules.py OUTPUT ENTRY
       bundle_modules.py --script OUTPUT SCRIPT
       bundle_modules.py --style OUTPUT STYLESHEET

Starting from ENTRY, each module comes after those it imports, in the order
its imports name them; each runs in a function of its own, which hands on
what it exports. The modules are written in the subset this reads:
  import {a, b} from "./file.js";   (one statement, which may span lines)
  export function name / export const name / export let name
Anything else that imports or exports stops the build.

What the browser loads leaves out the sources' whole-line comments, blank
lines and indentation, a third of the bytes a page loads; the sources keep
them. --script does only that, to one classic script; --style likewise to a
stylesheet, whose comments (all /* */; its first, the licence, kept) go. The sources hold no
string or template that spans lines, so no line inside one is touched."""

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


def compact(text):
    """text less its whole-line comments (its first two lines, the licence
    and what it is, kept), blank lines and indentation."""
    lines = text.split("\n")
    kept = lines[:2] + [line.strip() for line in lines[2:]
                        if line.strip() and not line.strip().startswith("//")]
    return "\n".join(kept) + "\n"


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
        f.write(compact("".join(parts)))


def style(output, source):
    with open(source, encoding="utf-8") as f:
        text = f.read()
    licence, rest = text.split("\n", 1)
    rest = re.sub(r"/\*.*?\*/", "", rest, flags=re.S)
    lines = [line.strip() for line in rest.split("\n") if line.strip()]
    with open(output, "w", encoding="utf-8") as f:
        f.write(licence + "\n" + "\n".join(lines) + "\n")


def script(output, source):
    with open(source, encoding="utf-8") as f:
        text = f.read()
    with open(output, "w", encoding="utf-8") as f:
        f.write(compact(text))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--script":
        script(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "--style":
        style(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 3:
        main(sys.argv[1], sys.argv[2])
    else:
        sys.exit(__doc__.strip().split("\n\n")[1])
