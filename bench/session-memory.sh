#!/usr/bin/env bash
# Peak memory of one real session: the game in Xvfb goes through its logos and
# the title menu, starts a game, clicks a few groups, waits for the board to
# play out its timers, and quits with F12. Reads the high-water mark of the
# resident set (VmHWM) just before F12, when every asset has been loaded.
#
# usage: session-memory.sh TESSAL DATA_PAK
# prints: peak_rss_kib=<n> session_seconds=<n>
set -euo pipefail
source "$(dirname "$0")/../tests/support/x11.sh"

tessal=$(readlink -f "$1")
pak=$(readlink -f "$2")
begin_x11_run session
start_xvfb "$work" || fail "Xvfb did not start"
extract_references "$pak" title play splay right
start_game "$tessal" "$pak"

# The logos, the menu, Play in a window; once the board is open, six clicks
# on it, which remove whatever groups lie under them.
click_play_in_a_window
shot_until board_open || fail "Play did not open a board ($image)"
for spot in "100 100" "200 300" "300 200" "50 400" "400 60" "240 240"; do
    point_and_click $spot
    sleep 0.7
done
sleep 3
if [ -n "${TESSAL_SESSION_SHOT:-}" ]; then
    import -window root "$TESSAL_SESSION_SHOT"
fi
peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$game_pid/status")
[ -n "$peak" ] || fail "the game ended before F12"
hold_key F12
game_ends 100 || fail "F12 did not end the game"
[ "$exit_status" = 0 ] || fail "the game ended with status $exit_status"
echo "peak_rss_kib=$peak session_seconds=$(($(date +%s) - started))"
