#!/bin/sh
# SPDX-License-Identifier: MIT
# Usage: no_display.sh PROGRAM
# Without an X display the program must stop with a one-line message and a
# non-zero exit status, not crash on a signal.
out=$(env -u DISPLAY "$1" 2>&1)
status=$?
echo "$out"
echo "exit status $status"
[ "$status" -ne 0 ] && [ "$status" -lt 128 ] && [ "$(echo "$out" | wc -l)" -eq 1 ] &&
    echo "$out" | grep -q "failed to open display"
