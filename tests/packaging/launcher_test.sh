#!/usr/bin/env bash
# The installed launcher on its own, in a scratch tree with a stand-in game
# that writes where it ran and with what: it starts the game in the player's
# folder and leaves a right data.pak link alone; a folder it cannot make or
# write is named on standard error and in the desktop's dialog, with a
# non-zero status.
# usage: launcher_test.sh BUILD_DIR
set -euo pipefail
launcher=$1/launcher/tessal
scratch=$(mktemp -d /tmp/tessal-launcher-XXXXXX)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

usr="$scratch/usr"
mkdir -p "$usr/games" "$usr/libexec/tessal" "$usr/share/tessal" "$scratch/bin"
cp "$launcher" "$usr/games/tessal"
echo pak >"$usr/share/tessal/data.pak"
printf '#!/bin/sh\necho "$PWD $*" >"%s/ran"\n' "$scratch" >"$usr/libexec/tessal/tessal"
# The dialog program writes down what it was asked to show.
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/dialog"\n' "$scratch" >"$scratch/bin/zenity"
chmod +x "$usr/games/tessal" "$usr/libexec/tessal/tessal" "$scratch/bin/zenity"

# Root writes into read-only folders; the launcher must meet them as a player.
as_player() {
  if [ "$(id -u)" = 0 ]; then setpriv --bounding-set=-dac_override,-dac_read_search "$@"; else "$@"; fi
}
# Runs the launcher with HOME $1 (XDG_DATA_HOME unset), DISPLAY $2 and the
# options that follow.
launch() {
  local home=$1 display=$2
  shift 2
  rm -f "$scratch/ran" "$scratch/dialog"
  status=0
  as_player env -u XDG_DATA_HOME -u WAYLAND_DISPLAY HOME="$home" DISPLAY="$display" \
    PATH="$scratch/bin:$PATH" "$usr/games/tessal" "$@" >"$scratch/out" 2>"$scratch/err" ||
    status=$?
}

# A fresh home: the folder is made, the archive linked, the game run in it.
home="$scratch/home"
mkdir -p "$home"
launch "$home" ""
folder="$home/.local/share/tessal"
[ "$status" = 0 ] || fail "status $status: $(cat "$scratch/err")"
[ "$(cat "$scratch/ran")" = "$folder " ] || fail "the game ran as: $(cat "$scratch/ran")"
[ "$(readlink "$folder/data.pak")" = "$usr/share/tessal/data.pak" ] || fail "data.pak not linked"
link=$(stat -c %i "$folder/data.pak")
launch "$home" ""
[ "$status" = 0 ] && [ "$(stat -c %i "$folder/data.pak")" = "$link" ] ||
  fail "a right link was made again"

# Folders the launcher cannot use: HOME read-only before the folder exists,
# and the folder itself read-only with its link already right; with and
# without a display.
locked="$scratch/locked"
mkdir -p "$locked"
chmod 555 "$locked" "$folder"
for case in "$locked:$locked/.local/share/tessal" "$home:$folder"; do
  for display in "" ":7"; do
    launch "${case%%:*}" "$display"
    where="${case#*:}"
    [ "$status" != 0 ] || fail "status 0 for $where"
    [ ! -e "$scratch/ran" ] || fail "the game ran although $where is not usable"
    [ "$(wc -l <"$scratch/err")" = 2 ] && grep -q "^Tessal cannot use its folder '$where'" "$scratch/err" &&
      grep -q 'XDG_DATA_HOME' "$scratch/err" || fail "unclear message: $(cat "$scratch/err")"
    if [ -n "$display" ]; then
      grep -qx -- '--error' "$scratch/dialog" && grep -q "^--text=Tessal cannot use its folder '$where'" "$scratch/dialog" ||
        fail "no dialog for $where"
    else
      [ ! -e "$scratch/dialog" ] || fail "a dialog without a display"
    fi
  done
done
# Options need no folder: with HOME read-only they still reach the game,
# in a scratch folder that is gone afterwards.
launch "$locked" ":7" --version
[ "$status" = 0 ] && [ ! -e "$scratch/dialog" ] || fail "--version refused: $(cat "$scratch/err")"
ran=$(cat "$scratch/ran")
[ "${ran% --version}" != "$ran" ] && [ ! -e "${ran% --version}" ] && [ ! -e "$locked/.local" ] ||
  fail "--version ran as: $ran"

echo "launcher: runs the game in its folder, refuses unusable folders clearly"
