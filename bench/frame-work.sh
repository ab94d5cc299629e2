#!/usr/bin/env bash
# The real game's own work per frame on the title menu and on a board, timed
# as the browser build times it (bench/web/measure.js): from the return of one
# flip to the next, a running average read every quarter second for ten
# seconds, its median reported. The game runs in Xvfb with FrameWork.cpp
# preloaded; the board is timed with the pointer over its middle, as in the
# browser.
#
# usage: frame-work.sh TESSAL DATA_PAK FRAME_WORK_LIBRARY
# prints: menu_work_ms=<x> board_work_ms=<y>
set -euo pipefail
source "$(dirname "$0")/../tests/support/x11.sh"

tessal=$(readlink -f "$1")
pak=$(readlink -f "$2")
library=$(readlink -f "$3")
work=$(mktemp -d /tmp/tessal-frame-work-XXXXXX)
xvfb_pid=""
game_pid=""

cleanup() {
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then kill -KILL "$game_pid"; fi
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then kill "$xvfb_pid"; fi
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "$work" || { echo "frame-work: Xvfb did not start" >&2; exit 1; }

mkdir "$work/run"
cp "$pak" "$work/run/data.pak"
cd "$work/run"
report=$work/frame-work.txt
TESSAL_FRAME_WORK=$report LD_PRELOAD=$library SDL_AUDIODRIVER=dummy "$tessal" >out.txt 2>err.txt &
game_pid=$!

# The median of the running average over ten seconds of play.
median_work() {
    local samples=()
    for _ in $(seq 40); do
        kill -0 "$game_pid" 2>/dev/null || { echo "frame-work: the game ended" >&2; exit 1; }
        samples+=("$(awk '{ print $2 }' "$report")")
        sleep 0.25
    done
    printf '%s\n' "${samples[@]}" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# Three logos of about nine seconds each, then the menu, in full screen. As in
# session-memory.sh, the board is reached in a window, where xdotool's pointer
# reaches the game: Play is clicked twice (the first click ends the fade).
sleep 34
menu=$(median_work)
hold_key F9
sleep 2
point_and_click 320 270
sleep 1
point_and_click 320 270
sleep 5
xdotool mousemove 240 240
sleep 2
board=$(median_work)
hold_key F12
echo "menu_work_ms=$menu board_work_ms=$board"
