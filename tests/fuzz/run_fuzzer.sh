#!/usr/bin/env bash
# Runs one fuzz target: first over every input that once crashed it (kept
# under regressions/), then for a bounded time from the kept corpus (corpus/,
# minimised, in the repository) and freshly made seeds, and says how many
# inputs it tried. New inputs go to a scratch folder, never into the kept
# corpus. A crash fails the test and leaves the input in the working folder,
# to be added to regressions/.
set -euo pipefail
# The targets draw into memory and play nothing, whatever the caller's
# surroundings: a DISPLAY that is set makes SDL reach the session bus, whose
# library keeps memory the leak checker reports.
source "$(dirname "$0")/../support/own_environment.sh"
own_environment
export SDL_VIDEODRIVER=dummy
target=$1 seed_maker=$2 regressions=$3 corpus=$4 seconds=$5
name=$(basename "$target")
[ -d "$corpus" ] && [ -n "$(ls -A "$corpus")" ] || { echo "$name: no kept corpus in $corpus" >&2; exit 1; }
work=$(mktemp -d /tmp/tessal-fuzz-XXXXXX)
mkdir "$work/seeds" "$work/new"
"$seed_maker" "$work/seeds"
cd "$work"

if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
  "$target" -runs=0 "$regressions"/* >"$work/regressions.log" 2>&1 || {
    cat "$work/regressions.log" >&2; echo "$name: a kept crash input fails again" >&2; exit 1; }
  echo "$name: $(ls "$regressions" | wc -l) regression inputs pass"
fi

status=0
seeds=()
[ -d "$work/seeds/$name" ] && seeds=("$work/seeds/$name")
"$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 \
  -artifact_prefix="$work/" "$work/new" "$corpus" "${seeds[@]}" >"$work/fuzz.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  cat "$work/fuzz.log" >&2
  echo "$name failed; its input is kept in $work" >&2
  exit "$status"
fi
echo "$name: $(ls "$corpus" | wc -l) kept inputs; $(grep -E '^#[0-9]+' "$work/fuzz.log" | tail -n 1)"
rm -rf "$work"
