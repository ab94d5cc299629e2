#!/usr/bin/env bash
# Lays the game out as installed (into a scratch tree, or the .deb unpacked
# into one, after lintian and a look at its metadata and maintainer scripts),
# checks that every installed file is in its place: icons of every size and
# an SVG, a manual page that renders, a store entry that validates; then
# starts the launcher of that tree under Xvfb, quits it with F12, and checks
# the player's folder. Nothing outside the scratch folder changes: a tessal
# installed on this machine stays as it was, which the end checks.
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
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The machine's own tessal, if any: the package's state and its files.
installed_state() {
  dpkg-query -W -f '${db:Status-Abbrev} ${Version}\n' tessal 2>/dev/null || echo "not installed"
  { dpkg-query -L tessal 2>/dev/null || true; } | while read -r file; do
    if [ -f "$file" ]; then md5sum "$file"; fi
  done
}
before=$(installed_state)

# The installed tree, as a package would lay it out under /usr.
tree="$scratch/root"
if [ "$mode" = prefix ]; then
  DESTDIR="$tree" cmake --install "$build" --prefix /usr >/dev/null
else
  (cd "$build" && cpack -G DEB >/dev/null)
  deb=$(ls "$build"/tessal_*.deb | head -n 1)
  [ -f "$deb" ] || fail "no .deb was built"
  dpkg-deb -x "$deb" "$tree"
  # Metadata, and no maintainer scripts: installing runs nothing of ours as
  # root. The checksums cover every file.
  for field in "Package:tessal" "Section:games" "Architecture:$(dpkg --print-architecture)" \
               "Recommends:zenity | kdialog | x11-utils"; do
    [ "$(dpkg-deb -f "$deb" "${field%%:*}")" = "${field#*:}" ] || fail "the package's ${field%%:*}"
  done
  dpkg-deb -f "$deb" Depends | grep -q 'libsdl' || fail "the package does not depend on SDL"
  dpkg-deb -e "$deb" "$scratch/control"
  [ "$(ls "$scratch/control" | tr '\n' ' ')" = "control md5sums " ] ||
    fail "unexpected control files: $(ls "$scratch/control")"
  (cd "$tree" && md5sum --quiet -c "$scratch/control/md5sums") || fail "md5sums do not match"
  # Lintian's full report stays in the log; errors and warnings fail.
  status=0
  lintian --no-cfg --fail-on error,warning "$deb" >"$scratch/lintian.txt" 2>&1 || status=$?
  grep -v 'root privileges' "$scratch/lintian.txt" || true
  [ "$status" = 0 ] || fail "lintian found errors or warnings in $deb"
fi
prefix="$tree/usr"

share="$tree/usr/share"
for file in games/tessal libexec/tessal/tessal share/tessal/data.pak \
            share/applications/tessal.desktop share/icons/hicolor/scalable/apps/tessal.svg \
            share/man/man6/tessal.6.gz share/doc/tessal/copyright share/doc/tessal/changelog.gz \
            share/metainfo/io.github.tessal.tessal.metainfo.xml; do
  [ -e "$tree/usr/$file" ] || fail "missing /usr/$file"
done
[ -x "$prefix/games/tessal" ] || fail "launcher is not executable"

# Icons for every size a hicolor theme asks for, and a scalable one.
for size in 16 24 32 48 64 128 256 512; do
  file "$share/icons/hicolor/${size}x${size}/apps/tessal.png" |
    grep -q "PNG image data, $size x $size" || fail "no $size x $size PNG icon"
done
svg="$share/icons/hicolor/scalable/apps/tessal.svg"
file "$svg" | grep -q 'SVG Scalable Vector Graphics image' || fail "the scalable icon is no SVG"
grep -q 'viewBox="0 0 128 128"' "$svg" && grep -q '</svg>' "$svg" || fail "the SVG icon is cut short"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/tessal.desktop" || fail "desktop entry"
fi
grep -q '^Exec=tessal$' "$share/applications/tessal.desktop" || fail "desktop Exec line"

# The manual page renders without a complaint from groff and says what it must.
page="$share/man/man6/tessal.6.gz"
MANWIDTH=80 man --warnings -l "$page" 2>"$scratch/man-warnings.txt" | tr -s ' ' >"$scratch/man.txt" ||
  fail "man -l cannot render $page"
[ ! -s "$scratch/man-warnings.txt" ] || { cat "$scratch/man-warnings.txt" >&2; fail "groff warns"; }
for text in 'tessal - clear a board of coloured tiles' 'HOW TO PLAY' 'KEYS' 'FILES' 'ENVIRONMENT' \
            'scores.qbx' 'XDG_DATA_HOME' 'SDL12COMPAT_WINDOW_SCALING' 'F9' 'GAMEPAD' \
            'SDL12COMPAT_USE_GAME_CONTROLLERS'; do
  grep -q -- "$text" "$scratch/man.txt" || fail "the manual page does not mention '$text'"
done

# The store entry: valid to the letter, and consistent with the desktop entry
# and icons beside it (validate-tree finds those). Without the network the
# screenshots' addresses are not fetched.
appstreamcli validate --pedantic --no-net "$share/metainfo/io.github.tessal.tessal.metainfo.xml" \
  >"$scratch/appstream.txt" 2>&1 || { cat "$scratch/appstream.txt" >&2; fail "metainfo"; }
grep -q '^[EWIP]:' "$scratch/appstream.txt" && { cat "$scratch/appstream.txt" >&2; fail "metainfo hints"; }
appstreamcli validate-tree --pedantic --no-net "$tree" >"$scratch/appstream-tree.txt" 2>&1 ||
  { cat "$scratch/appstream-tree.txt" >&2; fail "the installed tree does not validate"; }

# Start the installed game as a player would, in a fresh home.
export HOME="$scratch/home"
export XDG_DATA_HOME="$HOME/.local/share"
mkdir -p "$HOME"
# Options pass through the launcher and answer without a display.
[ "$(env -u DISPLAY "$prefix/games/tessal" --version)" = "Tessal Version 1.0.0 build 521" ] ||
  fail "tessal --version"
start_xvfb "$scratch" || fail "Xvfb did not start"
export SDL_AUDIODRIVER=dummy
"$prefix/games/tessal" >"$scratch/stdout" 2>"$scratch/stderr" &
game_pid=$!

# F12 ends the game also during its logos; pressed until the game has gone,
# for the window may not be up at the first press.
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
[ "$(readlink "$XDG_DATA_HOME/tessal/data.pak")" = "$(readlink -f "$share/tessal/data.pak")" ] ||
  fail "data.pak of the tree under test not linked into the player's folder"
[ "$(stat -c %s "$XDG_DATA_HOME/tessal/scores.qbx")" = 360 ] || fail "scores.qbx not written"
[ "$(installed_state)" = "$before" ] || fail "the machine's own tessal changed"
echo "installed game ($mode) started in $XDG_DATA_HOME/tessal and quit cleanly"
