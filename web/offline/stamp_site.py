#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Stamps a built site folder with its build: a hash of all its files.

usage: stamp_site.py FOLDER

Adds "?v=BUILD" to each file of the site that an HTML page names in a src or
href attribute (pages it links to excepted), and writes BUILD and each file's
SHA-256 into the folder's service-worker.js (see web/service-worker.js). The
hash leaves out the stamps themselves, so running it again on an unchanged
folder changes nothing, and again after a file changed gives a new build.
Prints the build."""

import hashlib
import json
import os
import re
import sys

WORKER = "service-worker.js"
# A file the page names, with the stamp it may already carry.
REFERENCE = re.compile(r'((?:src|href)=")([^":?#]+)(?:\?v=[0-9a-f]*)?(")')
WORKER_BUILD = re.compile(r"^const BUILD = .*;$", re.M)
WORKER_FILES = re.compile(r"^const FILES = .*;$", re.M)


def site_files(folder):
    """The site's files, as paths relative to folder with "/" between parts."""
    found = []
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.relpath(os.path.join(root, name), folder)
            found.append(path.replace(os.sep, "/"))
    return sorted(found)


def stamp_page(text, page, files, build):
    """The HTML text of page with build stamped on the files it names (an
    empty build takes the stamps off)."""
    def stamp(match):
        target = os.path.normpath(os.path.join(os.path.dirname(page), match[2]))
        if target.replace(os.sep, "/") not in files or target.endswith(".html"):
            return match[0]
        return match[1] + match[2] + ("?v=" + build if build else "") + match[3]
    return REFERENCE.sub(stamp, text)


def stamp_worker(text, build, digests):
    text = WORKER_BUILD.sub(lambda _: "const BUILD = %s;" % json.dumps(build), text)
    return WORKER_FILES.sub(lambda _: "const FILES = %s;" % json.dumps(digests, sort_keys=True),
                            text)


def main(folder):
    files = site_files(folder)
    if WORKER not in files:
        sys.exit("stamp_site.py: %s has no %s" % (folder, WORKER))
    contents = {}
    for path in files:
        with open(os.path.join(folder, path), "rb") as f:
            contents[path] = f.read()

    def unstamped(path):
        if path.endswith(".html"):
            return stamp_page(contents[path].decode(), path, files, "").encode()
        if path == WORKER:
            return stamp_worker(contents[path].decode(), "", {}).encode()
        return contents[path]

    whole = hashlib.sha256()
    for path in files:
        data = unstamped(path)
        whole.update(b"%s\0%d\0" % (path.encode(), len(data)))
        whole.update(data)
    build = whole.hexdigest()[:16]

    stamped = {}
    for path in files:
        if path.endswith(".html"):
            stamped[path] = stamp_page(contents[path].decode(), path, files, build).encode()
        elif path != WORKER:
            stamped[path] = contents[path]
    digests = {path: hashlib.sha256(data).hexdigest() for path, data in stamped.items()}
    stamped[WORKER] = stamp_worker(contents[WORKER].decode(), build, digests).encode()
    for path, data in stamped.items():
        if data != contents[path]:
            with open(os.path.join(folder, path), "wb") as f:
                f.write(data)
    print("stamp_site.py: %s is build %s" % (folder, build))


if __name__ == "__main__":
    if len(sys.argv) != 2 or not os.path.isdir(sys.argv[1]):
        sys.exit(__doc__.strip().split("\n\n")[1])
    main(sys.argv[1])
