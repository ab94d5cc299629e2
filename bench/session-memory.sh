#!/usr/bin/env bash
# Peak memory of one real session: the game in Xvfb goes through its logos and
# the title menu, starts a game, clicks a few groups, waits for the board to
# play out its timers, and quits with F12. Reads the high-water mark of the
# resident set (VmHWM) just before F12, when every asset has been loaded.
#
# usage: session-memory.sh TESSAL DATA_PAK
# prints: peak_rss_kib=<n> session_seconds=<n>
set -euo pipefail

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

Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "session-memory: Xvfb did not start" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"

mkdir "$work/run"
cp "$pak" "$work/run/data.pak"
cd "$work/run"
SDL_AUDIODRIVER=dummy "$tessal" >out.txt 2>err.txt &
game_pid=$!
started=$(date +%s)

# Three logos of about nine seconds each, then the menu fades in.
sleep 31
xdotool mousemove 320 270 click 1      # Play
sleep 4
for spot in "100 100" "200 300" "300 200" "50 400" "400 60" "240 240"; do
    xdotool mousemove $spot click 1
    sleep 1
done
sleep 5
peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$game_pid/status")
xdotool key F12
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
