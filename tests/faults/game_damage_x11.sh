#!/usr/bin/env bash
# The real game in an X server (Xvfb) over a data.pak with one of the game's
# own members damaged: the title menu comes up, Play is clicked, and making
# the game must end the run with the Error naming the member on standard
# error, exit status 0 and the score table of the earlier run untouched.
#
# usage: game_damage_x11.sh TESSAL CLOCK_WARP_LIBRARY DATA_PAK
set -euo pipefail
source "$(dirname "$0")/../support/x11.sh"

tessal=$(readlink -f "$1")
warp=$(readlink -f "$2")
pak=$(readlink -f "$3")
begin_x11_run faults-x11

start_xvfb "$work" || fail "Xvfb did not start"
extract_references "$pak" title play splay

# LD_PRELOAD splits its list at blanks: a checkout in a folder whose name has
# one would leave the clock unwarped. A copy in the scratch folder has none.
cp "$warp" "$work/clock_warp.so"
warp="$work/clock_warp.so"

# Copies the archive with one member replaced by noise or left out.
damage() {  # member replace|remove
    python3 - "$pak" "$work/run/data.pak" "$1" "$2" <<'PY'
import sys, zipfile
source, target, member, how = sys.argv[1:5]
with zipfile.ZipFile(source) as old, zipfile.ZipFile(target, "w") as new:
    for info in old.infolist():
        data = old.read(info.filename)
        if info.filename == member:
            if how == "remove":
                continue
            data = bytes((i * 7919 + 13) % 251 for i in range(5000))
        new.writestr(info, data)
PY
}

# Nine records of an earlier run, none of them the defaults.
scores() {
    python3 - "$1" <<'PY'
import struct, sys
with open(sys.argv[1], "wb") as out:
    for i in range(9):
        out.write(("Earlier X Player %d" % i).encode().ljust(32, b"\0"))
        out.write(struct.pack("<ii", 654321 - 4321 * i, i % 2))
PY
}

# One run: the menu, F9 into a window, a click on Play once it is lit.
run_case() {  # member replace|remove expected-message
    local member=$1 how=$2 expected=$3
    rm -rf "$work/run"
    mkdir -p "$work/run"
    damage "$member" "$how"
    scores "$work/run/scores.qbx"
    cp "$work/run/scores.qbx" "$work/scores.before"
    cd "$work/run"
    # The clock runs ten times faster, so the 27 s of logos pass in 3 s.
    LD_PRELOAD="$warp" TESSAL_CLOCK_WARP=10 SDL_AUDIODRIVER=dummy \
        SDL_RENDER_DRIVER=software SDL12COMPAT_OPENGL_SCALING=0 \
        "$tessal" >out.txt 2>err.txt &
    game_pid=$!
    click_play_in_a_window
    # The report comes first in a message box titled "Error", which waits
    # for its OK button, as a player would press it.
    local box=""
    for _ in $(seq 600); do
        box=$(xdotool search --name '^Error$' 2>/dev/null | head -n1 || true)
        [ -n "$box" ] && break
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -n "$box" ]; then
        eval "$(xdotool getwindowgeometry --shell "$box")"
        sleep 0.3
        xdotool mousemove $((X + 15)) $((Y + HEIGHT - 14))
        sleep 0.2
        xdotool click 1
    fi
    game_ends 200 || fail "$member: the game did not end after Play"
    [ "$exit_status" = 0 ] || fail "$member: exit status $exit_status"
    # Compared as bytes, line end included: the report adds none of its own.
    printf '%b' "$expected" >"$work/expected"
    local size
    size=$(stat -c %s "$work/expected")
    tail -c "$size" err.txt | cmp -s - "$work/expected" ||
        fail "$member: standard error does not end with: $expected"
    cmp -s scores.qbx "$work/scores.before" || fail "$member: scores.qbx changed"
    grep -q '^Average FPS=' out.txt || fail "$member: no orderly shutdown"
    echo "ok: $member ($how): $expected"
    cd "$work"
}

run_case sound/bip.wav replace "Couldn't Load Sample: sound/bip.wav\\n"
run_case theme2/b.bmp remove "Cannot Load 'theme2/b.bmp' from PAK"
echo "PASS: game members damaged under X11"
