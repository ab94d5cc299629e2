# Sourced by the scripts that drive the real game in an X server with xdotool.
# They set what the game sees themselves, whatever the caller exported.
source "$(dirname "${BASH_SOURCE[0]}")/own_environment.sh"
own_environment

# Begins a run: makes the scratch folder $work, with ref/ for reference
# pictures and run/ as the game's working folder, and arranges that on exit
# the game, a window manager and the X server are stopped and the folder
# removed. $1 names the folder.
begin_x11_run() {
    work=$(mktemp -d "/tmp/tessal-$1-XXXXXX")
    ref="$work/ref"
    mkdir -p "$ref" "$work/run"
    xvfb_pid=""
    wm_pid=""
    game_pid=""
    started=$(date +%s)
    trap end_x11_run EXIT
}

end_x11_run() {
    # A TERM ends the game through its own shutdown, which removes its
    # private folder; one that hangs is killed.
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
        kill "$game_pid" 2>/dev/null || true
        for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$game_pid" 2>/dev/null || true
    fi
    if [ -n "$wm_pid" ] && kill -0 "$wm_pid" 2>/dev/null; then kill "$wm_pid"; fi
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then kill "$xvfb_pid"; fi
    rm -rf "$work"
}

# Ends the script with a message, followed by what the game wrote to its
# standard error.
fail() {
    echo "FAIL: $*" >&2
    if [ -f "$work/run/err.txt" ]; then
        echo "--- game's stderr" >&2
        cat "$work/run/err.txt" >&2
        echo >&2
    fi
    exit 1
}

note() { echo "[$(($(date +%s) - started))s] $*"; }
less_than() { [ "$1" -lt "$2" ]; }

# Makes folder $1 for screenshots, empty of earlier ones; prints its path.
screenshot_folder() {
    mkdir -p "$1"
    rm -f "$1"/*.png
    readlink -f "$1"
}

# Members $2... of archive $1 as reference pictures $ref/MEMBER.png.
extract_references() {
    local pak=$1 member
    shift
    for member in "$@"; do
        unzip -p "$pak" "$member.bmp" >"$ref/$member.bmp"
        convert "$ref/$member.bmp" "$ref/$member.png"
    done
}

# Starts the game $1 in $work/run on a copy of archive $2, with the dummy
# audio driver and output in out.txt and err.txt; further arguments go to
# env first (-u NAME, NAME=value). Sets game_pid; stays in $work/run.
start_game() {  # tessal pak [env arguments]
    local tessal=$1
    cp "$2" "$work/run/data.pak"
    shift 2
    cd "$work/run"
    env "$@" SDL_AUDIODRIVER=dummy "$tessal" >out.txt 2>err.txt &
    game_pid=$!
}

# Waits up to $1 tenths of a second for the game to end, sets exit_status
# and forgets game_pid; returns 1 when it is still running.
game_ends() {
    wait_for_exit "$game_pid" "$1" || return 1
    game_pid=""
}

# Starts Xvfb (640 x 480 x 24, or the size $2 as WIDTHxHEIGHT) on a free
# display, with its log in folder $1; sets xvfb_pid and exports DISPLAY.
# Returns non-zero when it did not start.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "${2:-640x480}x24" -nolisten tcp -noreset 3>"$1/display" 2>"$1/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 300); do
        [ -s "$1/display" ] && break
        sleep 0.1
    done
    [ -s "$1/display" ] || return 1
    export DISPLAY=":$(head -n1 "$1/display")"
}

# Starts openbox on $DISPLAY, with its log in folder $1, and waits until it
# manages the screen; sets wm_pid. Returns non-zero when it did not start.
start_openbox() {
    openbox --sm-disable >"$1/openbox.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 300); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    return 1
}

# A screenshot of the whole screen in $image; scripts that keep theirs in a
# folder define their own shot().
shot() { image="$work/look.png"; import -window root "$image"; }

# Takes screenshots with shot(), which sets $image, until the
# check "$@" passes on $image, for at most $wait_limit seconds (60 unless
# set): the game shows what it must when it is ready, however loaded the
# machine. Returns 1 when it never did; screenshots that did not pass are
# dropped but the last.
shot_until() {
    local deadline=$((SECONDS + ${wait_limit:-60}))
    while :; do
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended"
        shot
        "$@" && return 0
        [ "$SECONDS" -lt "$deadline" ] || return 1
        rm -f "$image"
    done
}

# Whether screenshot $image shows the title menu's Play lit and whole (with
# references play and splay extracted); sets lit and plain, its percentages
# off each. When not, points at Play again, from beside: a game that has just
# left full screen may still take a move as a relative one.
play_lit() {
    lit=$(region_diff "$image" 0 251 640 43 "$ref/splay.png")
    plain=$(region_diff "$image" 0 251 640 43 "$ref/play.png")
    less_than "$lit" 25 && less_than "$lit" "$plain" && return 0
    xdotool mousemove 292 270 mousemove 300 270
    return 1
}

# Whether screenshot $image shows the title picture whole (reference title).
title_whole() { less_than "$(region_diff "$image" 0 0 640 251 "$ref/title.png")" 12; }

# Whether screenshot $image shows a board opened: its panel (reference right)
# and no more than a tenth of the board left black by its opening wipe. Sets
# panel, its percentage off right.bmp.
board_open() {
    panel=$(region_diff "$image" 480 0 160 480 "$ref/right.png")
    less_than "$panel" 30 && less_than "$(black_part "$image" 0 0 480 480)" 10
}

# From the start, through the logos, to a click on Play in a window (with
# references title, play and splay). In full screen the hidden pointer is read
# in relative mode, which xdotool's motion never feeds: F9 comes first.
click_play_in_a_window() {
    wait_limit=150 shot_until title_whole || fail "no title menu ($image)"
    hold_key F9
    xdotool mousemove 300 270
    shot_until play_lit || fail "Play never lit in the window ($image)"
    xdotool click 1
}

# Holds a key down for a few frames, as a player's hand does (taps of 0 ms
# are the keyboard test's own).
hold_key() {
    xdotool keydown "$1"
    sleep 0.4
    xdotool keyup "$1"
}

# The loop acts on the row it read before taking the click, as a player's
# hand does: let a frame see the pointer in place first.
point_and_click() {
    xdotool mousemove "$1" "$2"
    sleep 0.3
    xdotool click 1
}

# Waits up to $2 tenths of a second for process $1, a child of this shell, to
# end and sets exit_status to its status; returns 1 when it is still running.
wait_for_exit() {
    for _ in $(seq "$2"); do
        if ! kill -0 "$1" 2>/dev/null; then
            set +e
            wait "$1"
            exit_status=$?
            set -e
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Percent of the w x h pixels of a screenshot that are near black.
black_part() {  # image x y w h
    [ -f "$ref/black.png" ] || convert -size 640x480 xc:black "$ref/black.png"
    local count
    count=$(compare -metric AE -fuzz 6% "$1[${4}x${5}+${2}+${3}]" "$ref/black.png[${4}x${5}+0+0]" \
            null: 2>&1 || true)
    awk -v c="$count" -v n=$(($4 * $5)) 'BEGIN { printf "%d", 100 - 100 * c / n }'
}

# Percent of the w x h pixels at (x, y) of a screenshot that differ by more
# than the tolerance from the reference picture at (rx, ry).
region_diff() {  # image x y w h reference [rx ry]
    local image=$1 x=$2 y=$3 w=$4 h=$5 reference=$6 rx=${7:-0} ry=${8:-0}
    local count
    count=$(compare -metric AE -fuzz 12% "$image[${w}x${h}+${x}+${y}]" \
            "$reference[${w}x${h}+${rx}+${ry}]" null: 2>&1 || true)
    awk -v c="$count" -v n=$((w * h)) 'BEGIN { printf "%d", 100 * c / n }'
}
