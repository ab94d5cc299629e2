#!/usr/bin/env bash
# The game's window on a desktop of a given size, with a window manager
# (openbox): after F9 the window is 640 x 480 times the expected whole scale
# and lies wholly on the desktop, the pointer over Play at the scaled
# position lights Play up and is drawn right there, and a click opens the game.
#
# usage: desktop_window.sh TESSAL DATA_PAK WIDTHxHEIGHT SCALE SHOT_DIR
set -euo pipefail
source "$(dirname "$0")/../support/x11.sh"

tessal=$(readlink -f "$1")
pak=$(readlink -f "$2")
desktop=$3
scale=$4
shots=$5
mkdir -p "$shots"
shots=$(readlink -f "$shots")
rm -f "$shots"/*.png
desktop_w=${desktop%x*}
desktop_h=${desktop#*x}

work=$(mktemp -d /tmp/tessal-window-XXXXXX)
ref="$work/ref"
mkdir -p "$ref" "$work/run"
xvfb_pid=""
wm_pid=""
game_pid=""
started=$(date +%s)

cleanup() {
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then kill -KILL "$game_pid"; fi
    if [ -n "$wm_pid" ] && kill -0 "$wm_pid" 2>/dev/null; then kill "$wm_pid"; fi
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then kill "$xvfb_pid"; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/run/err.txt" ] && { echo "--- game's stderr" >&2; cat "$work/run/err.txt" >&2; }
    exit 1
}
note() { echo "[$(($(date +%s) - started))s] $*"; }
less_than() { [ "$1" -lt "$2" ]; }

for member in title play splay right mouse; do
    unzip -p "$pak" "$member.bmp" >"$ref/$member.bmp"
    convert "$ref/$member.bmp" "$ref/$member.png"
done
convert -size 640x480 xc:black "$ref/black.png"

region_diff() {  # image x y w h reference [rx ry]: percent of pixels off
    local count
    count=$(compare -metric AE -fuzz 12% "$1[${4}x${5}+${2}+${3}]" \
            "$6[${4}x${5}+${7:-0}+${8:-0}]" null: 2>&1 || true)
    awk -v c="$count" -v n=$(($4 * $5)) 'BEGIN { printf "%d", 100 * c / n }'
}
black_part() {  # image x y w h: percent of near-black pixels
    local count
    count=$(compare -metric AE -fuzz 6% "$1[${4}x${5}+${2}+${3}]" "$ref/black.png[${4}x${5}+0+0]" \
            null: 2>&1 || true)
    awk -v c="$count" -v n=$(($4 * $5)) 'BEGIN { printf "%d", 100 - 100 * c / n }'
}

# --- desktop and window manager -------------------------------------------------
start_xvfb "$work" "$desktop" || fail "Xvfb did not start"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "openbox did not start"
note "$desktop desktop with openbox on $DISPLAY"

cp "$pak" "$work/run/data.pak"
cd "$work/run"
env -u SDL12COMPAT_WINDOW_SCALING -u SDL_VIDEO_WINDOW_POS -u SDL_VIDEO_CENTERED \
    SDL_AUDIODRIVER=dummy "$tessal" >out.txt 2>err.txt &
game_pid=$!

caption="  -=-  Tessal  -=-"
geometry() {  # sets win_id win_x win_y win_w win_h from the game's window
    local info
    info=$(xwininfo -name "$caption" 2>/dev/null) || return 1
    win_id=$(awk '/Window id:/ { print $4 }' <<<"$info")
    win_x=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
    win_y=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
    win_w=$(awk '/Width:/ { print $NF }' <<<"$info")
    win_h=$(awk '/Height:/ { print $NF }' <<<"$info")
}

# The game opens full screen and reads F9 once its title menu runs, after the
# start-up logos: press F9 until the window has left full screen.
windowed=""
deadline=$(($(date +%s) + 150))
while [ "$(date +%s)" -lt "$deadline" ]; do
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended"
    if geometry && [ "$win_w" != "$desktop_w" ]; then
        windowed=yes
        break
    fi
    geometry && hold_key F9
    for _ in $(seq 40); do
        geometry && [ "$win_w" != "$desktop_w" ] && break
        sleep 0.2
    done
done
[ -n "$windowed" ] || fail "F9 never gave a window"
# Let the window manager settle the frame before reading the place.
sleep 1
geometry
note "window ${win_w}x${win_h} at ${win_x},${win_y}"
[ "$win_w" = $((640 * scale)) ] && [ "$win_h" = $((480 * scale)) ] ||
    fail "window is ${win_w}x${win_h}, not $((640 * scale))x$((480 * scale))"
[ "$win_x" -ge 0 ] && [ "$win_y" -ge 0 ] &&
    [ $((win_x + win_w)) -le "$desktop_w" ] && [ $((win_y + win_h)) -le "$desktop_h" ] ||
    fail "window ${win_w}x${win_h}+${win_x}+${win_y} is not wholly on the $desktop desktop"

# The window's picture in the game's own 640 x 480 pixels.
count=0
shot() {
    count=$((count + 1))
    shot_file="$shots/$1-$count.png"
    import -window "$win_id" "$work/window.ppm"
    convert "$work/window.ppm" -sample 640x480 "$shot_file"
}

opened=""
deadline=$(($(date +%s) + 40))
while [ "$(date +%s)" -lt "$deadline" ]; do
    shot menu
    if less_than "$(region_diff "$shot_file" 0 0 640 251 "$ref/title.png")" 12; then
        opened=yes
        break
    fi
    sleep 0.3
done
[ -n "$opened" ] || fail "no title menu in the window"
note "title menu in the window"

# Play's row starts at y = 251; point at (300, 270) of the game's picture.
xdotool mousemove $((win_x + 300 * scale)) $((win_y + 270 * scale))
# The game's own pointer is drawn with its tip where the real one is: the
# best match of mouse.bmp around (300, 270) lies within 2 pixels of it.
pointer_at() {  # image: prints the pointer's offset from (268, 238)
    convert "$1" -crop 96x96+268+238 +repage "$work/around.png"
    compare -metric RMSE -dissimilarity-threshold 1 -subimage-search "$work/around.png" \
        "$ref/mouse.png" null: 2>&1 | sed -n 's/.*@ \([0-9]*\),\([0-9]*\).*/\1 \2/p' || true
}
near() { [ $(($1 - $2)) -ge -2 ] && [ $(($1 - $2)) -le 2 ]; }
in_place=""
deadline=$(($(date +%s) + 30))
while [ "$(date +%s)" -lt "$deadline" ]; do
    shot hover
    lit=$(region_diff "$shot_file" 0 251 640 43 "$ref/splay.png")
    plain=$(region_diff "$shot_file" 0 251 640 43 "$ref/play.png")
    found=$(pointer_at "$shot_file")
    read -r px py <<<"${found:-999 999}"
    # A star passing over the pointer can hide it for a frame: look again.
    if less_than "$lit" 25 && less_than "$lit" "$plain" && near "$px" 32 && near "$py" 32; then
        in_place=yes
        break
    fi
    sleep 0.3
done
[ -n "$in_place" ] ||
    fail "pointer at (300, 270): Play $lit% off splay, $plain% off play; pointer found at '$found' from (268, 238)"
note "Play lit ($lit% off splay); pointer drawn at (300, 270)"

# A click there opens the game: the panel on the right, the board below it.
xdotool click 1
in_game=""
deadline=$(($(date +%s) + 40))
while [ "$(date +%s)" -lt "$deadline" ]; do
    shot game
    panel=$(region_diff "$shot_file" 480 0 160 480 "$ref/right.png")
    if less_than "$panel" 30 && less_than "$(black_part "$shot_file" 0 0 480 480)" 10; then
        in_game=yes
        break
    fi
    sleep 0.3
done
[ -n "$in_game" ] || fail "the click on Play did not open the game"
note "the game opened ($panel% off right.bmp)"

# F12 ends the program with status 0.
for _ in $(seq 20); do
    hold_key F12
    wait_for_exit "$game_pid" 50 && break
done
kill -0 "$game_pid" 2>/dev/null && fail "F12 did not end the game"
game_pid=""
[ "$exit_status" = 0 ] || fail "exit status $exit_status"
echo "PASS: ${win_w}x${win_h} window on a $desktop desktop in $(($(date +%s) - started)) s"
