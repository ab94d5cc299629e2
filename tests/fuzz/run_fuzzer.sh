#!/usr/bin/env bash
# Runs one fuzz target: first over every input that once crashed it (kept
# under regressions/), then for a bounded time from freshly made seeds, and
# says how many inputs it tried. A crash fails the test and leaves the input
# in the working folder, to be added to regressions/.
set -euo pipefail
target=$1 seed_maker=$2 regressions=$3 corpus=$4 seconds=$5
name=$(basename "$target")
seeds=$(mktemp -d /tmp/tessal-seeds-XXXXXX)
work=$(mktemp -d /tmp/tessal-fuzz-XXXXXX)
"$seed_maker" "$seeds"
mkdir -p "$corpus"
cp -n "$seeds/$name"/* "$corpus"/ 2>/dev/null || true
rm -rf "$seeds"
cd "$work"

if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
  "$target" -runs=0 "$regressions"/* >"$work/regressions.log" 2>&1 || {
    cat "$work/regressions.log" >&2; echo "$name: a kept crash input fails again" >&2; exit 1; }
  echo "$name: $(ls "$regressions" | wc -l) regression inputs pass"
fi

status=0
"$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 \
  -artifact_prefix="$work/" "$corpus" >"$work/fuzz.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  cat "$work/fuzz.log" >&2
  echo "$name failed; its input is kept in $work" >&2
  exit "$status"
fi
echo "$name: $(grep -E '^#[0-9]+' "$work/fuzz.log" | tail -n 1)"
rm -rf "$work"
