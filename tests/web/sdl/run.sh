#!/bin/bash
# The browser back end's mapping checks: bash tests/web/sdl/run.sh [LIBDIR]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
libs=${1:-$here/../../../build-web/libs}
bash "$here/../../../web/build-libs.sh" "$libs" >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
NODE_PATH=/usr/share/nodejs emcc -O1 -I"$libs/include/SDL" "$here/mapping.c" \
    "$libs/lib/libSDL.a" -o "$tmp/mapping.js"
node --no-experimental-fetch "$tmp/mapping.js"
