#!/usr/bin/env bash
# Plays the web build in Debian's chromium, headless: the site must be built
# (bash scripts/web --no-serve). Installs chromium, node and the test's locked
# npm packages when they are missing. TESSAL_WEB_SHOTS=DIR keeps screenshots.
set -euo pipefail
cd "$(dirname "$0")"

need=()
[ -x /usr/bin/chromium ] || need+=(chromium)
command -v node >/dev/null || need+=(nodejs)
command -v npm >/dev/null || need+=(npm)
command -v unzip >/dev/null || need+=(unzip)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "web test: installing ${need[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${need[@]}"
fi
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
[ -f ../../build-web/site/index.html ] || { echo "web test: no site; run bash scripts/web --no-serve" >&2; exit 1; }
exec node --test browser.test.js
