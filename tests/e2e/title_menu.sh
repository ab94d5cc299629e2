#!/usr/bin/env bash
# Drives the real game in Xvfb with xdotool and checks what it shows through
# screenshots: the logos, the title menu fading in, the highlighted item, the
# score board read from a prepared scores.qbx, F1, the about page, a game and
# back, and Exit with status 0 and the table written; then, in a second run,
# clicks made during the logos, which the menu must not take.
#
# usage: title_menu.sh TESSAL DATA_PAK SHOT_DIR
# Screenshots are compared region by region with a colour tolerance, never
# pixel by pixel: stars and the pointer move over everything.
set -euo pipefail
source "$(dirname "$0")/../support/x11.sh"

tessal=$(readlink -f "$1")
pak=$(readlink -f "$2")
shots=$(screenshot_folder "$3")
begin_x11_run e2e

# --- the X server -------------------------------------------------------------
start_xvfb "$work" || fail "Xvfb did not start"

# --- reference pictures straight from the archive -----------------------------
extract_references "$pak" logo logo1 logo2 title play splay scores sscores bottom credits right

# --- image arithmetic ---------------------------------------------------------
count=0
shot() {  # [name]: sets image to a new screenshot, named or numbered
    if [ -z "${1:-}" ]; then
        count=$((count + 1))
        set -- "look-$count"
    fi
    image="$shots/$1.png"
    import -window root "$image"
}

game_running() { kill -0 "$game_pid" 2>/dev/null; }

# Screenshots NAME-N until the title picture is up, for at most $2 seconds.
wait_for_title() {  # name seconds
    local deadline=$(($(date +%s) + $2))
    while [ "$(date +%s)" -lt "$deadline" ]; do
        count=$((count + 1))
        shot "$1-$count"
        less_than "$(region_diff "$shots/$1-$count.png" 0 0 640 251 "$ref/title.png")" 12 && return 0
        sleep 0.2
    done
    return 1
}

# --- a table from an earlier run ----------------------------------------------
# Nine records of long names (26 and 27 letters, the most a player can type),
# so the score board fills its name column.
names=("Captain Cascade the Second" "Queen of the Purple Cluster" "Lord Chain Reaction Esquire"
       "The Great Column Collapser" "Sir Clicks A Lot the Brave!" "Three Colours Are Plenty..."
       "Nobody Beats the Bonus Tile" "Midnight Puzzle Enthusiast" "Just One More Board Please!")
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) \
         $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
{
    for i in 0 1 2 3 4 5 6 7 8; do
        name=${names[$i]}
        printf "%s" "$name"
        head -c $((32 - ${#name})) /dev/zero
        printf "$(le32 $((900000 - i * 50000)))"
        printf "$(le32 $((i % 2)))"
    done
} >"$work/run/scores.qbx"
[ "$(stat -c %s "$work/run/scores.qbx")" = 360 ] || fail "prepared table is not 360 bytes"

# --- start ----------------------------------------------------------------------
start_game "$tessal" "$pak"
note "tessal started on $DISPLAY"

# The three logos, each shown whole for a moment.
count=0
for logo in logo logo1 logo2; do
    found=""
    deadline=$(($(date +%s) + 40))
    while [ "$(date +%s)" -lt "$deadline" ]; do
        game_running || fail "the game ended during the logos"
        count=$((count + 1))
        shot "logos-$count"
        if less_than "$(region_diff "$shots/logos-$count.png" 0 0 640 480 "$ref/$logo.png")" 5; then
            found=yes
            cp "$shots/logos-$count.png" "$shots/$logo.png"
            break
        fi
        sleep 0.2
    done
    [ -n "$found" ] || fail "$logo.bmp never filled the screen"
    note "$logo shown"
done

# The menu opens through its wipe: frames of title and black only, partly open.
fading=""
open=""
deadline=$(($(date +%s) + 30))
while [ "$(date +%s)" -lt "$deadline" ]; do
    count=$((count + 1))
    shot "opening-$count"
    image="$shots/opening-$count.png"
    title=$(region_diff "$image" 0 0 640 251 "$ref/title.png")
    black=$(black_part "$image" 0 0 640 251)
    if less_than "$title" 12; then
        open=yes
        break
    fi
    if [ "$black" -gt 10 ] && [ "$black" -lt 90 ] && less_than $((title - black)) 6; then
        fading=yes
        cp "$image" "$shots/menu-fading.png"
    fi
done
[ -n "$open" ] || fail "the title picture never came up"
[ -n "$fading" ] || fail "no frame of the menu's opening fade was seen"
note "menu faded in"

# F9 switches to a window, once per press, and the menu opens again in it.
# The rest is driven in the window: with its pointer hidden in full screen,
# sdl12-compat reads the mouse in relative mode, which the synthetic motion
# of xdotool never feeds.
hold_key F9
wait_for_title window 20 || fail "no title menu after F9"
xwininfo -root -tree | grep -q 'Tessal' || fail "no window after F9"
note "F9: the menu opened again in a window"

# Play lights up under the pointer; Scores stays plain. The switch may come
# after the look above took the old menu, and the new one opens through its
# wipe: this waits for Play lit whole, pointing again at each look.
scores_plain() {
    scores_plain=$(region_diff "$image" 0 294 640 42 "$ref/scores.png")
    scores_lit=$(region_diff "$image" 0 294 640 42 "$ref/sscores.png")
    less_than "$scores_plain" "$scores_lit"
}
xdotool mousemove 300 270
shot_until play_lit || fail "Play is not highlighted ($lit% off splay.bmp, $plain% off play.bmp) ($image)"
scores_plain || fail "Scores is highlighted without the pointer on it ($image)"
note "Play highlighted ($lit% off splay, $plain% off play)"

# The score board shows the prepared table.
score_board() {
    top=$(region_diff "$image" 0 251 640 19 "$ref/bottom.png")
    top_items=$(region_diff "$image" 0 251 640 19 "$ref/play.png")
    ink=$(region_diff "$image" 260 302 180 144 "$ref/bottom.png" 260 51)
    less_than "$top" 25 && less_than "$top" "$top_items" && less_than 30 "$ink"
}
point_and_click 300 310
shot_until score_board ||
    fail "no score board with the long names of scores.qbx ($top% off bottom.bmp, $top_items% off play.bmp; names cover $ink%) ($image)"
note "score board: names cover $ink% of their column, background $top% off"

# F1 puts the default table back: short names leave that column empty.
table_reset() {
    cleared=$(region_diff "$image" 260 302 180 144 "$ref/bottom.png" 260 51)
    less_than "$cleared" $((ink / 2))
}
hold_key F1
shot_until table_reset || fail "F1 did not reset the table ($cleared% ink left) ($image)"
note "F1 reset the table ($cleared%)"

# A click anywhere goes back to the menu.
menu_shown() {
    menu_band=$(region_diff "$image" 0 251 640 43 "$ref/play.png")
    board_band=$(region_diff "$image" 0 251 640 43 "$ref/bottom.png")
    less_than "$menu_band" 20 && less_than "$menu_band" "$board_band"
}
xdotool click 1
shot_until menu_shown || fail "a click did not lead back to the menu ($menu_band% off play.bmp) ($image)"

# The about page, and a click back from it.
about_shown() {
    about=$(region_diff "$image" 0 251 640 229 "$ref/credits.png")
    about_board=$(region_diff "$image" 0 251 640 229 "$ref/bottom.png")
    less_than "$about" 20 && less_than "$about" "$about_board"
}
point_and_click 300 350
shot_until about_shown || fail "the about page does not show credits.bmp ($about% off) ($image)"
note "about page shown ($about% off credits.bmp)"
xdotool click 1
shot_until menu_shown || fail "a click did not leave the about page ($image)"

# Play: the menu closes and the game screen comes, panel on the right.
point_and_click 300 270
wait_limit=20 shot_until board_open || fail "Play did not lead to the game screen ($image)"
cp "$image" "$shots/game.png"
title=$(region_diff "$shots/game.png" 0 0 640 251 "$ref/title.png")
less_than 50 "$title" || fail "the title is still on screen during the game"
note "game screen (panel $panel% off right.bmp)"

# Escape leaves the game for a new title menu.
sleep 0.5
hold_key Escape
wait_for_title return 20 || fail "Escape did not lead back to the title menu"
note "back at the menu"

# Exit: the menu fades out and the program ends with status 0.
point_and_click 300 400
game_ends 150 || fail "Exit did not end the program"
[ "$exit_status" = 0 ] || fail "exit status $exit_status"
grep -q '^Average FPS=[0-9]*$' out.txt || fail "no Average FPS line: $(cat out.txt)"
note "exited with status 0: $(grep 'Average FPS' out.txt)"

# The table written at exit is the reset one: scores 9 down to 1, names
# ".A.A.A." over what the old names left behind.
[ "$(stat -c %s scores.qbx)" = 360 ] || fail "scores.qbx is not 360 bytes"
for i in 0 1 2 3 4 5 6 7 8; do
    score=$(od -An -t d4 -j $((40 * i + 32)) -N 4 scores.qbx | tr -d ' ')
    name=$(dd if=scores.qbx bs=1 skip=$((40 * i)) count=7 2>/dev/null)
    [ "$score" = $((9 - i)) ] || fail "record $i has score $score"
    [ "$name" = ".A.A.A." ] || fail "record $i has name $name"
done
note "scores.qbx written with the reset table"
# --- input made during the logos -----------------------------------------------
# Three clicks during the first logo with the pointer where Exit will be. The
# logos read no input, and the menu must not take what waited in the queue:
# it is still there at 35 s, and its music is heard once its opening fade is
# over. The music is captured through SDL's disk driver, which writes it at
# the pace it is played.
mkdir -p "$work/early"
cp "$pak" "$work/early/data.pak"
cd "$work/early"
launched=$(date +%s)
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/early/audio.raw" "$tessal" >out.txt 2>err.txt &
game_pid=$!
sleep 3
game_running || fail "the game did not start"
# In full screen the game reads the pointer in relative mode, from the middle
# of the screen: 160 rows down is the Exit item (rows 378 to 419).
xdotool mousemove_relative 0 160
sleep 0.3
for _ in 1 2 3; do
    xdotool click 1
    sleep 0.3
done
while [ $(($(date +%s) - launched)) -lt 35 ]; do
    game_running || fail "the game ended by itself after clicks during the logos"
    sleep 0.5
done
shot "early-clicks-35s"
title=$(region_diff "$shots/early-clicks-35s.png" 0 0 640 251 "$ref/title.png")
less_than "$title" 12 || fail "no title menu at 35 s after clicks during the logos ($title% off)"
hold_key F12
game_ends 100 || fail "F12 did not end the program"

# RMS of the samples from 1.5 s to 4.5 s after audio opened: the menu comes
# at once and its opening fade takes about 1.3 s. With the fade ended by the
# first of those clicks the music stayed at volume 0: every sample was 0.
# At full volume it measured 550 to 1000.
rate_bytes=$((44100 * 4))
rms=$(od -An -v -t d2 -j $((rate_bytes * 3 / 2)) -N $((rate_bytes * 3)) audio.raw |
      awk '{ for (i = 1; i <= NF; i++) { sum += $i * $i; n++ } }
           END { if (n) printf "%d", sqrt(sum / n); else print 0 }')
less_than 100 "$rms" || fail "the menu's music is silent after clicks during the logos (RMS $rms)"
note "clicks during the logos: menu still there at 35 s, music RMS $rms"

echo "PASS: e2e title menu in $(($(date +%s) - started)) s; screenshots in $shots"
