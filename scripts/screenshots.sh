#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the README's pictures docs/spingrid.png and docs/fieldgrid.png, and
# the icons spingrid/icons/*.png and fieldgrid/icons/*.png, from the real
# programs on a private Xvfb display. Run ./test.sh (or at least its package
# install) once first.
set -eu
REPO=$(cd "$(dirname "$0")/.." && pwd)
. "$REPO/scripts/setup.sh"
# The options of test.sh's tree of the same name, which has the program.
build_tree build -DBUILD_TESTING=ON -DWARNINGS_AS_ERRORS=ON
cmake --build "$REPO/build" --target take_screenshots spingrid fieldgrid >/dev/null

exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp +extension GLX 2>/dev/null & echo "pid $!")
read -r -u 3 _ xvfb_pid
read -r -t 30 -u 3 display
trap 'kill $xvfb_pid 2>/dev/null' EXIT
mkdir -p "$REPO/docs" "$REPO/spingrid/icons" "$REPO/fieldgrid/icons"
DISPLAY=":$display" "$REPO/build/scripts/take_screenshots" \
    "$REPO/build/spingrid/spingrid" "$REPO/build/fieldgrid/fieldgrid" "$REPO/docs" "$REPO"
