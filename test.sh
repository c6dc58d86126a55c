#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, checks that every C++ source is as clang-format
# writes it, builds everything, and runs every test: the whole suite under a
# private Xvfb display (the installed tree and the Debian package included),
# the unit tests again in a build made with Clang, and the model and
# control-window tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer. Every build treats a warning as an error.
#
# ./test.sh quick is the loop to run while changing code: the format check,
# the GCC build in build/ and its unit and window tests on the private
# display, without the other builds, the web pages and the install checks.
set -u
REPO=$(cd "$(dirname "$0")" && pwd)
. "$REPO/scripts/setup.sh"
mode=${1:-full}
case "$mode" in
full | quick) ;;
*) echo "usage: ./test.sh [quick]" >&2; exit 2 ;;
esac

# shellcheck disable=SC2086
ensure_packages $RUN_PACKAGES $TEST_PACKAGES $WEB_PACKAGES &&
    ensure_packages --no-install-recommends $TEST_TOOLS ||
    { echo "test.sh: could not install the packages" >&2; exit 1; }
# Firefox ESR and WebKitGTK, the pages' other engines: where they cannot be
# installed, their cases say they are skipped and everything else runs.
if [ "$mode" = full ]; then
    # shellcheck disable=SC2086
    ensure_packages --no-install-recommends $ENGINE_PACKAGES ||
        echo "test.sh: could not install $ENGINE_PACKAGES; the pages' cases in Firefox and WebKit will be skipped" >&2
fi
# axe-core, ESLint and puppeteer-core come from the npm registry. Where the
# registry cannot be reached (no network, or a proxy whose certificate this
# machine does not trust), the browser test that audits the pages with
# axe-core, the lint of their scripts and the cases that puppeteer-core
# drives say they are skipped, and everything else runs.
ensure_web_checks ||
    echo "test.sh: could not install axe-core, ESLint and puppeteer-core (npm ci in tests/web); the pages' axe-core audit, script lint and cases in Chromium and Firefox will be skipped" >&2

# Every C++ source and every script of the pages must be as clang-format
# makes it with the repository's .clang-format. The files are git's (tracked, or new and not ignored), or
# all outside the build folders where there is no git. One clang-format
# checks them all (one per file took many seconds) and names those it would
# change; should it fail (a bad .clang-format, say), what it said is shown.
format_status=0
unformatted=$(
    cd "$REPO" || exit 1
    report=$(
        if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
            git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' '*.js' '*.mjs'
        else
            find . \( -path './build*' -o -name node_modules \) -prune -o -type f \
                \( -name '*.cpp' -o -name '*.h' -o -name '*.js' -o -name '*.mjs' \) -print
        fi | while IFS= read -r file; do
            [ -f "$file" ] && printf '%s\0' "$file"
        done | xargs -0 -r clang-format --style=file --dry-run 2>&1 >/dev/null
    ) || { echo "  clang-format failed:"; echo "$report"; exit; }
    echo "$report" | sed -n 's|^\(\./\)\{0,1\}\(.*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*|  \2|p' | sort -u
)
if [ -n "$unformatted" ]; then
    echo "test.sh: these files differ from what clang-format makes of them (clang-format -i FILE):" >&2
    echo "$unformatted" >&2
    format_status=1
fi

build_tree build -DBUILD_TESTING=ON -DWARNINGS_AS_ERRORS=ON || exit 1
if [ "$mode" = full ]; then
    build_tree build-clang -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DBUILD_TESTING=ON -DWARNINGS_AS_ERRORS=ON || exit 1
    build_tree build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON -DBUILD_TESTING=ON \
        -DBUILD_BENCHMARKS=OFF -DWARNINGS_AS_ERRORS=ON || exit 1
    # The web site, and the same with the tests' exports, which the browser
    # tests of build/ load in headless Chromium.
    build_web_site -DWARNINGS_AS_ERRORS=ON -DWEB_TEST_SITE=ON || exit 1
    # The libFuzzer targets (tests/fuzz), in a Clang tree of their own.
    build_tree build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DFUZZ=ON -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF \
        -DWARNINGS_AS_ERRORS=ON || exit 1
fi

# A display of our own, even on a desktop, so that the window tests neither
# need nor disturb the user's screen. Xvfb picks a free display number and
# writes it to the pipe.
xvfb_log="$REPO/build/xvfb.log"
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp +extension GLX 2>"$xvfb_log" & echo "pid $!")
read -r -u 3 _ xvfb_pid
display=""
read -r -t 30 -u 3 display || true
if [ -z "$display" ]; then
    echo "test.sh: Xvfb did not start; see $xvfb_log" >&2
    kill "$xvfb_pid" 2>/dev/null
    exit 1
fi
trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
export DISPLAY=":$display"
echo "Window tests run on Xvfb display $DISPLAY"

status=$format_status
if [ "$mode" = quick ]; then
    ctest --test-dir "$REPO/build" --output-on-failure -j 2 -L 'unit|window' || status=1
else
    ctest --test-dir "$REPO/build" --output-on-failure -j 2 || status=1
    ctest --test-dir "$REPO/build-clang" --output-on-failure -j 2 -L unit || status=1
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir "$REPO/build-asan" --output-on-failure -j 2 || status=1
    # Each fuzz target over its corpus and a bounded number of new inputs.
    ctest --test-dir "$REPO/build-fuzz" --output-on-failure -j 2 -L fuzz || status=1
fi

run="test.sh"
[ "$mode" = quick ] && run="test.sh quick"
if [ "$status" -eq 0 ]; then
    echo "$run: all tests passed (${SECONDS} s)"
else
    echo "$run: some tests FAILED (${SECONDS} s)" >&2
fi
exit "$status"
