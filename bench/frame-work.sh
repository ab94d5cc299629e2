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
begin_x11_run frame-work
start_xvfb "$work" || fail "Xvfb did not start"
extract_references "$pak" title play splay right
report=$work/frame-work.txt
start_game "$tessal" "$pak" TESSAL_FRAME_WORK="$report" LD_PRELOAD="$library"

# The median of the running average over ten seconds of play.
median_work() {
    local samples=()
    for _ in $(seq 40); do
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended"
        samples+=("$(awk '{ print $2 }' "$report")")
        sleep 0.25
    done
    printf '%s\n' "${samples[@]}" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# The menu in full screen once the logos are over; the board in a window,
# where xdotool's pointer reaches the game, with two seconds for the running
# average to leave the board's opening behind.
wait_limit=150 shot_until title_whole || fail "no title menu ($image)"
menu=$(median_work)
click_play_in_a_window
shot_until board_open || fail "Play did not open a board ($image)"
xdotool mousemove 240 240
sleep 2
board=$(median_work)
hold_key F12
echo "menu_work_ms=$menu board_work_ms=$board"
