#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the CPU time a viewer uses at rest: starts it on a private Xvfb
# display, lets it settle, then reads its user+system time from /proc over a
# quiet interval. A program at rest should use none.
# Usage: bench/idle_cpu.sh BUILD_DIR [seconds]   (e.g. bench/idle_cpu.sh build 10)
set -eu
build="${1:?usage: bench/idle_cpu.sh BUILD_DIR [seconds]}"
seconds="${2:-10}"
ticks_per_second=$(getconf CLK_TCK)

cpu_ticks() { # user + system time of process $1, in clock ticks
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}

exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp +extension GLX 2>/dev/null & echo "pid $!")
read -r -u 3 _ xvfb_pid
read -r -t 30 -u 3 display
trap 'kill $xvfb_pid 2>/dev/null' EXIT

for program in spingrid fieldgrid; do
    path="$build/$program/$program"
    [ -x "$path" ] || continue
    DISPLAY=":$display" "$path" &
    pid=$!
    sleep 3 # start-up and the first frames are not what is measured
    before=$(cpu_ticks "$pid")
    sleep "$seconds"
    after=$(cpu_ticks "$pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$program: $((after - before)) clock ticks of CPU in ${seconds} s at rest" \
         "(1 tick = 1/${ticks_per_second} s)"
done
