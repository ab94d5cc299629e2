#!/usr/bin/env bash
# Builds the web site (scripts/web --no-serve, which reuses what is built),
# installs the browser test's packages and measures the web build's targets.
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/web --no-serve
(cd tests/web && { [ -f node_modules/.package-lock.json ] || npm ci --no-audit --no-fund --loglevel=error; })
node bench/web/measure.js build-web/site
