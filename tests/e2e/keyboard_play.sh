#!/usr/bin/env bash
# Plays the real game in Xvfb with the keyboard alone, the mouse never
# touched: Up and Down (and the keypad's Up) walk the title menu, Return
# opens the score board and leaves it, the arrows and Space remove a group
# on the board, Escape goes back, and Return on Exit ends the program with
# status 0.
#
# usage: keyboard_play.sh TESSAL DATA_PAK SHOT_DIR
# Every key is a tap of 0 ms (press and release sent back to back, as an
# on-screen keyboard or a remote desktop does), usually within one frame: the
# game must count each press exactly once, so every tap below must do
# exactly one thing.
set -euo pipefail
source "$(dirname "$0")/../support/x11.sh"

tessal=$(readlink -f "$1")
pak=$(readlink -f "$2")
shots=$(screenshot_folder "$3")
begin_x11_run keys

start_xvfb "$work" || fail "Xvfb did not start"

items=(play scores about exit)
tops=(251 294 336 378)
extract_references "$pak" title bottom right "${items[@]}" splay sscores sabout sexit

count=0
shot() {  # sets image to a new screenshot
    count=$((count + 1))
    image="$shots/keys-$count.png"
    import -window root "$image"
}

tap() {
    xdotool key --delay 0 "$1"
}

# The lit item (1 to 4) on a screenshot of the main page, or 0.
lit_item() {
    local i lit plain
    for i in 0 1 2 3; do
        lit=$(region_diff "$1" 0 "${tops[$i]}" 640 42 "$ref/s${items[$i]}.png")
        plain=$(region_diff "$1" 0 "${tops[$i]}" 640 42 "$ref/${items[$i]}.png")
        if [ "$lit" -lt 25 ] && [ "$lit" -lt "$plain" ]; then
            echo $((i + 1))
            return
        fi
    done
    echo 0
}

lit_is() { [ "$(lit_item "$image")" = "$1" ]; }
# Every item drawn as itself, lit or plain: the menu's opening fade is over.
items_whole() {
    local i lit plain
    for i in 0 1 2 3; do
        lit=$(region_diff "$image" 0 "${tops[$i]}" 640 42 "$ref/s${items[$i]}.png")
        plain=$(region_diff "$image" 0 "${tops[$i]}" 640 42 "$ref/${items[$i]}.png")
        [ "$lit" -lt 10 ] || [ "$plain" -lt 10 ] || return 1
    done
}
score_board_shown() { [ "$(region_diff "$image" 0 251 640 19 "$ref/bottom.png")" -lt 25 ]; }
# The game's panel, and no more black on it than its own picture has: the
# board's opening wipe is over and keys act.
panel_whole() {
    [ "$(region_diff "$image" 480 0 160 480 "$ref/right.png")" -lt 30 ] &&
        [ "$(black_part "$image" 480 0 160 480)" -le "$((panel_black + 1))" ]
}
score_changed() { [ "$(region_diff "$image" 500 277 120 28 "$before" 500 277)" -gt 3 ]; }

# One tap of key must light item $2, no more and no less.
step() {  # key item
    tap "$1"
    shot_until lit_is "$2" || fail "$1 lit item $(lit_item "$image"), not $2 ($image)"
}

# Waits until the title picture stands whole and the items are drawn.
wait_for_menu() {
    wait_limit=150 shot_until title_whole || fail "no title menu ($image)"
    shot_until items_whole || fail "the menu's items never stood whole ($image)"
}

start_game "$tessal" "$pak"
note "tessal started on $DISPLAY; waiting through the logos"
wait_for_menu
note "title menu"

# From no item Down comes to Play; each tap one item on, Up back round.
step Down 1
step Down 2
step Down 3
step Up 2
note "each tap of Up and Down moved one item"

# Return opens the score board; Return again goes back to the items.
tap Return
shot_until score_board_shown || fail "Return on Scores shows no score board ($image)"
tap Return
shot_until lit_is 2 || fail "Return did not lead back from the score board ($image)"
note "Return opens the score board and leaves it"

# Up on the keypad (NumLock off) onto Play, Return: the game screen with its panel.
step KP_Up 1
tap Return
panel_black=$(black_part "$ref/right.png" 0 0 160 480)
shot_until panel_whole || fail "Return on Play did not start a game ($image)"
note "in the game"

# Space on the group under the pointer; on a lone tile, step right and down
# and try again. The score on the panel changes once a group is gone; a
# lone tile changes nothing, so each try waits a while for the change.
shot
before="$image"
scored=""
for attempt in $(seq 10); do
    tap space
    if wait_limit=8 shot_until score_changed; then
        scored=yes
        break
    fi
    if [ $((attempt % 2)) = 1 ]; then tap Right; else tap Down; fi
done
[ -n "$scored" ] || fail "arrows and Space removed no group ($before, $image)"
note "arrows and Space scored (attempt $attempt)"

# Escape still leaves the game; Up wraps round to Exit, Return ends it all.
tap Escape
wait_for_menu
lit=$(lit_item "$image")
while [ "$lit" != 4 ]; do
    next=$((lit <= 1 ? 4 : lit - 1))
    step Up "$next"
    lit=$next
done
tap Return
game_ends 150 || fail "Return on Exit did not end the program"
[ "$exit_status" = 0 ] || fail "exit status $exit_status"
grep -q '^Average FPS=[0-9]*$' out.txt || fail "no orderly shutdown: $(cat out.txt)"
echo "PASS: e2e keyboard play in $(($(date +%s) - started)) s; screenshots in $shots"
