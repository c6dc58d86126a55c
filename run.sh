#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and starts one viewer.
# Usage: ./run.sh spingrid | fieldgrid  [GLUT options ...]
#        ./run.sh web [PORT]   (serves both pages on 127.0.0.1, port 8000)
set -u
REPO=$(cd "$(dirname "$0")" && pwd)
. "$REPO/scripts/setup.sh"

program="${1:-}"
case "$program" in
    spingrid | fieldgrid) shift ;;
    web)
        port="${2:-8000}"
        case "$port" in
            '' | *[!0-9]* | 0*) echo "run.sh: the port must be a number from 1 to 65535" >&2; exit 2 ;;
        esac
        if [ "$port" -gt 65535 ]; then
            echo "run.sh: the port must be a number from 1 to 65535" >&2
            exit 2
        fi
        # shellcheck disable=SC2086
        ensure_packages $WEB_PACKAGES || { echo "run.sh: could not install the packages" >&2; exit 1; }
        build_web_site || exit 1
        # Only this machine can reach it; see the README to host the folder.
        echo "Serving build-web/site at http://127.0.0.1:$port/ (Ctrl+C stops)"
        exec /usr/bin/python3 -m http.server --bind 127.0.0.1 --directory "$REPO/build-web/site" "$port"
        ;;
    *)
        echo "usage: ./run.sh spingrid|fieldgrid [GLUT options] | web [PORT]" >&2
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
