# Sourced by the scripts that drive the real game in an X server with xdotool.

# Starts Xvfb (640 x 480 x 24, or the size $2 as WIDTHxHEIGHT) on a free
# display, with its log in folder $1; sets xvfb_pid and exports DISPLAY.
# Returns non-zero when it did not start.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "${2:-640x480}x24" -nolisten tcp -noreset 3>"$1/display" 2>"$1/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -s "$1/display" ] && break
        sleep 0.1
    done
    [ -s "$1/display" ] || return 1
    export DISPLAY=":$(head -n1 "$1/display")"
}

# Holds a key down for a few frames: the game reads F9, F12, Escape and F1
# from the key state, which a press and release in one frame would never show.
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

# Percent of the w x h pixels at (x, y) of a screenshot that differ by more
# than the tolerance from the reference picture at (rx, ry).
region_diff() {  # image x y w h reference [rx ry]
    local image=$1 x=$2 y=$3 w=$4 h=$5 reference=$6 rx=${7:-0} ry=${8:-0}
    local count
    count=$(compare -metric AE -fuzz 12% "$image[${w}x${h}+${x}+${y}]" \
            "$reference[${w}x${h}+${rx}+${ry}]" null: 2>&1 || true)
    awk -v c="$count" -v n=$((w * h)) 'BEGIN { printf "%d", 100 * c / n }'
}
