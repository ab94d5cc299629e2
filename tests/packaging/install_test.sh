#!/usr/bin/env bash
# Installs the game (into a scratch prefix, or as a .deb), checks that every
# installed file is in its place, then starts the installed launcher under
# Xvfb, quits it with F12, and checks the player's folder.
set -euo pipefail
source "$(dirname "$0")/../support/x11.sh"
mode=$1
build=$2
scratch=$(mktemp -d /tmp/tessal-install-XXXXXX)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ "$mode" = deb ] && dpkg-query -W tessal >/dev/null 2>&1; then
    dpkg -r tessal >/dev/null
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "$mode" = prefix ]; then
  prefix="$scratch/prefix"
  cmake --install "$build" --prefix "$prefix" >/dev/null
else
  (cd "$build" && cpack -G DEB >/dev/null)
  deb=$(ls "$build"/tessal_*.deb | head -n 1)
  [ -f "$deb" ] || fail "no .deb was built"
  dpkg -i "$deb" >/dev/null || fail "dpkg -i refused $deb"
  prefix=/usr
fi

for file in bin/tessal libexec/tessal/tessal share/tessal/data.pak \
            share/applications/tessal.desktop \
            share/icons/hicolor/128x128/apps/tessal.png \
            share/metainfo/io.github.tessal.Tessal.metainfo.xml; do
  [ -e "$prefix/$file" ] || fail "missing $prefix/$file"
done
[ -x "$prefix/bin/tessal" ] || fail "launcher is not executable"
file "$prefix/share/icons/hicolor/128x128/apps/tessal.png" | grep -q 'PNG image data, 128 x 128' \
  || fail "icon is not a 128 x 128 PNG"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tessal.desktop" || fail "desktop entry"
fi
grep -q '^Exec=tessal$' "$prefix/share/applications/tessal.desktop" || fail "desktop Exec line"

# Start the installed game as a player would, in a fresh home.
export HOME="$scratch/home"
export XDG_DATA_HOME="$HOME/.local/share"
mkdir -p "$HOME"
start_xvfb "$scratch" || fail "Xvfb did not start"
export SDL_AUDIODRIVER=dummy
"$prefix/bin/tessal" >"$scratch/stdout" 2>"$scratch/stderr" &
game_pid=$!

# The three start-up logos take about half a minute; F12 is read once the
# main loop runs, so keep pressing it until the game has gone.
for _ in $(seq 120); do
  kill -0 "$game_pid" 2>/dev/null || break
  xdotool key F12 2>/dev/null || true
  sleep 0.5
done
if kill -0 "$game_pid" 2>/dev/null; then
  fail "the installed game did not quit on F12"
fi
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || { cat "$scratch/stderr" >&2; fail "exit status $status"; }
grep -q '^Average FPS=' "$scratch/stdout" || fail "no frame-rate line on standard output"
[ -L "$XDG_DATA_HOME/tessal/data.pak" ] || fail "data.pak not linked into the player's folder"
[ "$(stat -c %s "$XDG_DATA_HOME/tessal/scores.qbx")" = 360 ] || fail "scores.qbx not written"
echo "installed game ($mode) started in $XDG_DATA_HOME/tessal and quit cleanly"
