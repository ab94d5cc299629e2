#!/bin/bash
# The browser back end in headless chromium: bash tests/web/sdl/browser.sh [LIBDIR]
# Uses the web test's locked puppeteer-core (tests/web/package.json).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
libs=${1:-$here/../../../build-web/libs}
bash "$here/../../../web/build-libs.sh" "$libs" >/dev/null
(cd "$here/.." && { [ -f node_modules/.package-lock.json ] || npm ci --no-audit --no-fund --loglevel=error; })
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
NODE_PATH=/usr/share/nodejs emcc -O2 -I"$libs/include/SDL" "$here/backend.c" "$libs/lib/libSDL.a" \
    -sASYNCIFY -sALLOW_MEMORY_GROWTH=1 -o "$tmp/backend.js"
cp "$here/backend.html" "$tmp/"
node "$here/drive.js" "$tmp"
