#!/usr/bin/env bash
# The real game in Xvfb with a window manager: during the first logo, a
# window close, F12, and the signals TERM, INT and HUP each end it within a
# second through its ordinary shutdown: status 0, the table written, the
# private scratch folder removed, nothing leaked, the main loop never run.
# usage: logo_quit.sh TESSAL DATA_PAK
set -euo pipefail
source "$(dirname "$0")/../support/x11.sh"

tessal=$(readlink -f "$1")
pak=$(readlink -f "$2")
begin_x11_run logo-quit
start_xvfb "$work" || fail "Xvfb did not start"
# The close button's request comes through the window manager.
start_openbox "$work" || fail "openbox did not start"
mkdir -p "$work/tmp"

now_ms() { date +%s%3N; }
for way in close F12 TERM INT HUP; do
    rm -f "$work/run/scores.qbx"
    start_game "$tessal" "$pak" TMPDIR="$work/tmp"
    for _ in $(seq 300); do
        xdotool search --name 'Tessal' >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdotool search --name 'Tessal' >/dev/null 2>&1 || fail "$way: no window"
    asked=$(now_ms)
    case $way in
        close) wmctrl -c Tessal ;;
        F12) xdotool key F12 ;;
        *) kill -s "$way" "$game_pid" ;;
    esac
    while kill -0 "$game_pid" 2>/dev/null && [ $(($(now_ms) - asked)) -lt 10000 ]; do
        sleep 0.01
    done
    took=$(($(now_ms) - asked))
    game_ends 1 || fail "$way during the first logo: still running after $took ms"
    note "$way: ended $took ms after the request, status $exit_status"
    [ "$took" -lt 1000 ] || fail "$way took $took ms"
    [ "$exit_status" = 0 ] || fail "$way: exit status $exit_status"
    [ "$(cat out.txt)" = "$(printf 'Tessal Version 1.0.0 build 521\nAverage FPS=0')" ] ||
        fail "$way: not ended during the logos: $(cat out.txt)"
    [ "$(stat -c %s scores.qbx 2>/dev/null)" = 360 ] || fail "$way: the table was not saved"
    [ -z "$(ls -A "$work/tmp")" ] || fail "$way: left $(ls "$work/tmp")"
    grep -q 'No memory leaks' memleaks.log || fail "$way: leaks: $(cat memleaks.log)"
done
echo "PASS: close, F12, TERM, INT and HUP end the logos in under a second"
