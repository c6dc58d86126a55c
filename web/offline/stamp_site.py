#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Stamps a built site folder with its build: a hash of all its files.

usage: stamp_site.py FOLDER

Adds "?v=BUILD" to each file of the site that an HTML page names in a src or
href attribute (pages it links to excepted), and writes BUILD and each file's
SHA-256 into the folder's service-worker.js (see
web/offline/service-worker.js). The hash leaves out the stamps themselves, so
running it again on an unchanged folder changes nothing, and again after a
file changed gives a new build. Prints the build. Fails, writing nothing,
when a stamp has no single place to go: the worker's BUILD or FILES line not
found exactly once, or a page naming a file of the site in a way the stamp
does not read."""

import hashlib
import json
import os
import re
import sys

WORKER = "service-worker.js"
# A file the page names, with the stamp it may already carry.
REFERENCE = re.compile(r'((?:src|href)=")([^":?#]+)(?:\?v=[0-9a-f]*)?(")')
# Any src or href attribute, however written, to tell the references that
# REFERENCE misses.
ANY_REFERENCE = re.compile(r"""\b(?:src|href)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+))""")
WORKER_BUILD = re.compile(r"^const BUILD = .*;$", re.M)
WORKER_FILES = re.compile(r"^const FILES = .*;$", re.M)


class StampError(Exception):
    """A file of the site (the first argument) that the stamp cannot stamp as
    it is written, and why."""


def site_files(folder):
    """The site's files, as paths relative to folder with "/" between parts."""
    found = []
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.relpath(os.path.join(root, name), folder)
            found.append(path.replace(os.sep, "/"))
    return sorted(found)


def stamped_file(page, reference, files):
    """Whether reference, as page names it, is a file of the site that takes
    a stamp (the pages it links to take none)."""
    target = os.path.normpath(os.path.join(os.path.dirname(page), reference))
    return target.replace(os.sep, "/") in files and not target.endswith(".html")


def stamp_page(text, page, files, build):
    """The HTML text of page with build stamped on the files it names (an
    empty build takes the stamps off)."""
    def stamp(match):
        if not stamped_file(page, match[2], files):
            return match[0]
        return match[1] + match[2] + ("?v=" + build if build else "") + match[3]
    text = REFERENCE.sub(stamp, text)
    if not build:
        return text
    # A file the page names but the stamp did not read would come as the
    # newest build, whatever the page's own build: a mix.
    for match in ANY_REFERENCE.finditer(text):
        target = next(m for m in match.groups() if m is not None)
        if stamped_file(page, re.split(r"[?#]", target)[0], files) and \
                target.partition("?")[2] != "v=" + build:
            raise StampError(page, "%s is not of the pattern %s, so it would not be stamped"
                             % (match[0], REFERENCE.pattern))
    return text


def substitute_once(pattern, line, text):
    """text with the one match of pattern replaced by line."""
    text, count = pattern.subn(lambda _: line, text)
    if count != 1:
        raise StampError(WORKER, "the pattern %s matches %d lines, not exactly one"
                         % (pattern.pattern, count))
    return text


def stamp_worker(text, build, digests):
    text = substitute_once(WORKER_BUILD, "const BUILD = %s;" % json.dumps(build), text)
    return substitute_once(WORKER_FILES,
                           "const FILES = %s;" % json.dumps(digests, sort_keys=True), text)


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
    try:
        main(sys.argv[1])
    except StampError as error:
        sys.exit("stamp_site.py: %s: %s" % (os.path.join(sys.argv[1], error.args[0]),
                                            error.args[1]))
