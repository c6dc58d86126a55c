#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and starts one viewer.
# Usage: ./run.sh spingrid | fieldgrid  [GLUT options ...]
set -u
REPO=$(cd "$(dirname "$0")" && pwd)
. "$REPO/scripts/setup.sh"

program="${1:-}"
case "$program" in
    spingrid | fieldgrid) shift ;;
    *)
        echo "usage: ./run.sh spingrid|fieldgrid [GLUT options]" >&2
        exit 2
        ;;
esac

# shellcheck disable=SC2086
ensure_packages $RUN_PACKAGES || { echo "run.sh: could not install the packages" >&2; exit 1; }
build_tree build-run -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF || exit 1

if [ -z "${DISPLAY:-}" ]; then
    echo "$program: no X display (DISPLAY is not set); run it from a graphical desktop session" >&2
    exit 1
fi
# The grid window takes the program path as its title.
exec "$REPO/build-run/$program/$program" "$@"
