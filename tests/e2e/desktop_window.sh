#!/usr/bin/env bash
# The game on a desktop of a given size, with a window manager (openbox): in
# full screen and in a window, the pointer at Play's scaled position lights
# Play up and is drawn right there; after F9 the window is 640 x 480 times the
# expected whole scale and lies wholly on the desktop; a click opens the game.
#
# usage: desktop_window.sh TESSAL DATA_PAK WIDTHxHEIGHT SCALE SHOT_DIR
set -euo pipefail
source "$(dirname "$0")/../support/x11.sh"

tessal=$(readlink -f "$1")
pak=$(readlink -f "$2")
desktop=$3
scale=$4
shots=$(screenshot_folder "$5")
desktop_w=${desktop%x*}
desktop_h=${desktop#*x}

begin_x11_run window
extract_references "$pak" title play splay right mouse

# --- desktop and window manager -------------------------------------------------
start_xvfb "$work" "$desktop" || fail "Xvfb did not start"
start_openbox "$work" || fail "openbox did not start"
note "$desktop desktop with openbox on $DISPLAY"

start_game "$tessal" "$pak" -u SDL12COMPAT_WINDOW_SCALING -u SDL_VIDEO_WINDOW_POS -u SDL_VIDEO_CENTERED

caption="  -=-  Tessal  -=-"
geometry() {  # sets win_x win_y win_w win_h from the game's window
    local info
    info=$(xwininfo -name "$caption" 2>/dev/null) || return 1
    win_x=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
    win_y=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
    win_w=$(awk '/Width:/ { print $NF }' <<<"$info")
    win_h=$(awk '/Height:/ { print $NF }' <<<"$info")
}

# The game's picture, wherever it is on the desktop (picture_geometry, as
# WIDTHxHEIGHT+X+Y), in its own 640 x 480 pixels.
count=0
shot() {
    count=$((count + 1))
    shot_file="$shots/$1-$count.png"
    import -window root "$work/root.ppm"
    convert "$work/root.ppm" -crop "$picture_geometry" +repage -sample 640x480 "$shot_file"
}

wait_for_title() {  # where seconds
    local deadline=$(($(date +%s) + $2))
    while [ "$(date +%s)" -lt "$deadline" ]; do
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended"
        shot "menu-$1"
        less_than "$(region_diff "$shot_file" 0 0 640 251 "$ref/title.png")" 12 && return 0
        sleep 0.3
    done
    fail "no title menu $1"
}

# With the pointer at (300, 270) of the picture, Play's row (from y = 251) is
# lit, and the game's own pointer is drawn there: the best match of mouse.bmp
# around (300, 270) lies within 2 pixels of it.
pointer_at() {  # image: prints the pointer's offset from (268, 238)
    convert "$1" -crop 96x96+268+238 +repage "$work/around.png"
    compare -metric RMSE -dissimilarity-threshold 1 -subimage-search "$work/around.png" \
        "$ref/mouse.png" null: 2>&1 | sed -n 's/.*@ \([0-9]*\),\([0-9]*\).*/\1 \2/p' || true
}
near() { [ $(($1 - $2)) -ge -2 ] && [ $(($1 - $2)) -le 2 ]; }
expect_pointer_on_play() {  # where [command that points there, run before each look]
    local deadline=$(($(date +%s) + 30)) lit plain found px py
    while [ "$(date +%s)" -lt "$deadline" ]; do
        [ -z "${2:-}" ] || $2
        shot "hover-$1"
        lit=$(region_diff "$shot_file" 0 251 640 43 "$ref/splay.png")
        plain=$(region_diff "$shot_file" 0 251 640 43 "$ref/play.png")
        found=$(pointer_at "$shot_file")
        read -r px py <<<"${found:-999 999}"
        # A star passing over the pointer can hide it for a frame: look again.
        if less_than "$lit" 25 && less_than "$lit" "$plain" && near "$px" 32 && near "$py" 32; then
            note "$1: Play lit ($lit% off splay); pointer drawn at (300, 270)"
            return 0
        fi
        sleep 0.3
    done
    fail "$1: Play $lit% off splay, $plain% off play; pointer found at '$found' from (268, 238)"
}

# --- full screen ------------------------------------------------------------------
# The 640 x 480 picture is scaled to the desktop's height or width, with bars.
read -r full_w full_h <<<"$(awk -v w="$desktop_w" -v h="$desktop_h" \
    'BEGIN { f = (w / 640 < h / 480) ? w / 640 : h / 480; printf "%d %d", 640 * f, 480 * f }')"
picture_geometry="${full_w}x${full_h}+$(((desktop_w - full_w) / 2))+$(((desktop_h - full_h) / 2))"
# The start-up logos come first.
wait_for_title "in full screen" 150
note "title menu in full screen, $picture_geometry"
# A hidden pointer in full screen moves by relative motion, as a mouse sends
# it: in small steps into the top left corner, then to (300, 270) scaled.
for _ in $(seq 30); do xdotool mousemove_relative -- -200 -200; done
for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove_relative $((300 * full_w / 640 * step / 10 - 300 * full_w / 640 * (step - 1) / 10)) \
        $((270 * full_h / 480 * step / 10 - 270 * full_h / 480 * (step - 1) / 10))
done
expect_pointer_on_play "full screen"

# --- a window -----------------------------------------------------------------------
# F9 is read once per press: press it until the window has left full screen.
# A slow machine may take long to change the mode; a second press meanwhile
# would turn it back, so each press waits a good while for the first.
windowed=""
deadline=$(($(date +%s) + 120))
while [ "$(date +%s)" -lt "$deadline" ]; do
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended"
    if geometry && [ "$win_w" != "$desktop_w" ]; then
        windowed=yes
        break
    fi
    hold_key F9
    press_deadline=$(($(date +%s) + 30))
    while [ "$(date +%s)" -lt "$press_deadline" ]; do
        geometry && [ "$win_w" != "$desktop_w" ] && break
        sleep 0.2
    done
done
[ -n "$windowed" ] || fail "F9 never gave a window"
# The window manager frames and places the window after the game has sized
# it, later still on a busy machine: a place counts once the title is seen
# there and the window has not moved meanwhile.
placed=""
deadline=$(($(date +%s) + 90))
while [ "$(date +%s)" -lt "$deadline" ]; do
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended"
    if geometry; then
        picture_geometry="${win_w}x${win_h}+${win_x}+${win_y}"
        shot "menu-in-the-window"
        if less_than "$(region_diff "$shot_file" 0 0 640 251 "$ref/title.png")" 12 && geometry &&
            [ "${win_w}x${win_h}+${win_x}+${win_y}" = "$picture_geometry" ]; then
            placed=yes
            break
        fi
    fi
    sleep 0.3
done
[ -n "$placed" ] || fail "no title menu in a window that keeps its place ($picture_geometry)"
note "window ${win_w}x${win_h} at ${win_x},${win_y}"
[ "$win_w" = $((640 * scale)) ] && [ "$win_h" = $((480 * scale)) ] ||
    fail "window is ${win_w}x${win_h}, not $((640 * scale))x$((480 * scale))"
[ "$win_x" -ge 0 ] && [ "$win_y" -ge 0 ] &&
    [ $((win_x + win_w)) -le "$desktop_w" ] && [ $((win_y + win_h)) -le "$desktop_h" ] ||
    fail "window ${win_w}x${win_h}+${win_x}+${win_y} is not wholly on the $desktop desktop"
# The pointer, visible again, at (300, 270) scaled. A busy game may still be
# reading the mouse as in full screen when the window shows, and take the
# move as a relative one: point again, from beside the spot, before each look,
# where the window is then.
point_at_play() {
    geometry && picture_geometry="${win_w}x${win_h}+${win_x}+${win_y}"
    xdotool mousemove $((win_x + 300 * scale - 8)) $((win_y + 270 * scale))
    xdotool mousemove $((win_x + 300 * scale)) $((win_y + 270 * scale))
}
expect_pointer_on_play "window" point_at_play

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
ended=""
for _ in $(seq 20); do
    hold_key F12
    game_ends 50 && ended=yes && break
done
[ -n "$ended" ] || fail "F12 did not end the game"
[ "$exit_status" = 0 ] || fail "exit status $exit_status"
echo "PASS: ${win_w}x${win_h} window on a $desktop desktop in $(($(date +%s) - started)) s"
