#!/bin/sh
# SPDX-License-Identifier: MIT
# Lints the pages' scripts with ESLint as tests/web/eslint.config.mjs sets
# it, from the repository's top folder. Exits 77 (skipped) when ESLint is
# not installed (npm ci --omit=dev in tests/web; ./test.sh does).
top=$(cd "$(dirname "$0")/../.." && pwd)
eslint="$top/tests/web/node_modules/eslint/bin/eslint.js"
if [ ! -f "$eslint" ]; then
    echo "ESLint is not installed: npm ci --omit=dev in tests/web"
    exit 77
fi
cd "$top" || exit 1
exec node "$eslint" --max-warnings 0 -c tests/web/eslint.config.mjs web/page/scripts \
    web/page/page_events.js tests/web/scripts web/platform/webgl_calls.js web/platform/webgl_draw.js \
    web/offline/offline.js web/offline/service-worker.js glui/web/page_panel.js
