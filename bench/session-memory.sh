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
work=$(mktemp -d /tmp/tessal-session-XXXXXX)
xvfb_pid=""
game_pid=""

cleanup() {
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then kill -KILL "$game_pid"; fi
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then kill "$xvfb_pid"; fi
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "$work" || { echo "session-memory: Xvfb did not start" >&2; exit 1; }

mkdir "$work/run"
cp "$pak" "$work/run/data.pak"
cd "$work/run"
SDL_AUDIODRIVER=dummy "$tessal" >out.txt 2>err.txt &
game_pid=$!
started=$(date +%s)

# Three logos of about nine seconds each, then the menu fades in. With the
# pointer hidden in full screen, sdl12-compat reads the mouse in relative mode,
# which xdotool's motion never feeds, so the session goes on in a window (F9
# opens the menu again). A click during its fade only ends the fade, so Play
# is clicked twice; the second click, while the menu fades out, is ignored.
sleep 32
hold_key F9
sleep 2
point_and_click 320 270
sleep 1
point_and_click 320 270
# The menu fades out, the board loads and fades in; then six clicks on the
# board, which remove whatever groups lie under them.
sleep 5
for spot in "100 100" "200 300" "300 200" "50 400" "400 60" "240 240"; do
    point_and_click $spot
    sleep 0.7
done
sleep 3
if [ -n "${TESSAL_SESSION_SHOT:-}" ]; then
    import -window root "$TESSAL_SESSION_SHOT"
fi
peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$game_pid/status")
if [ -z "$peak" ]; then
    echo "session-memory: the game ended before F12" >&2
    exit 1
fi
hold_key F12
for _ in $(seq 100); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
status=0
wait "$game_pid" || status=$?
game_pid=""
if [ "$status" -ne 0 ]; then
    echo "session-memory: the game ended with status $status" >&2
    cat err.txt >&2
    exit 1
fi
echo "peak_rss_kib=$peak session_seconds=$(($(date +%s) - started))"
