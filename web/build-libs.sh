#!/bin/bash
# Builds the libraries of the browser build with emscripten, from Debian's own
# source packages: SDL 1.2 with this project's browser drivers (web/sdl/*.patch),
# zlib with minizip, and libmikmod.
#
#   bash web/build-libs.sh [OUTDIR]        (default: build-web/libs)
#
# Result: OUTDIR/include/SDL/*.h, OUTDIR/include/{zlib.h,zconf.h,mikmod.h},
# OUTDIR/include/minizip/*.h and OUTDIR/lib/{libSDL,libz,libminizip,libmikmod}.a.
# It builds once: a stamp a library holds a hash of this script (and, for SDL,
# the patches); a run with nothing changed returns at once.  Runs are serialised by OUTDIR/.lock.
# The machine's apt sources are never touched: the sources come through a
# private apt configuration kept in OUTDIR/.apt.
set -euo pipefail

SDL_VERSION=1.2.15+dfsg2-8
ZLIB_VERSION=1:1.2.13.dfsg-1
MIKMOD_VERSION=3.3.11.1-7

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
out=${1:-$repo/build-web/libs}
mkdir -p "$out"
out=$(cd "$out" && pwd)
jobs=$(nproc)

exec 9>"$out/.lock"
flock 9

# One stamp a library: SDL's covers the patches too, so a new patch rebuilds
# SDL alone.  Each holds a hash of what its build depends on.
script_hash=$(sha256sum "${BASH_SOURCE[0]}" | cut -d' ' -f1)
want_zlib=$script_hash
want_mikmod=$script_hash
want_sdl=$(cat "${BASH_SOURCE[0]}" "$here"/sdl/*.patch | sha256sum | cut -d' ' -f1)
todo=()
for lib in sdl zlib mikmod; do
    want=want_$lib
    [ "$(cat "$out/.stamp-$lib" 2>/dev/null)" = "${!want}" ] || todo+=("$lib")
done
if [ ${#todo[@]} -eq 0 ]; then
    echo "build-libs: $out is up to date"
    exit 0
fi
building() { [[ " ${todo[*]} " == *" $1 "* ]]; }
start=$SECONDS

# --- tools ------------------------------------------------------------------
need=()
command -v emcc >/dev/null || need+=(emscripten)
command -v dpkg-source >/dev/null || need+=(dpkg-dev)
command -v cmake >/dev/null || need+=(cmake)
command -v make >/dev/null || need+=(make)
command -v patch >/dev/null || need+=(patch)
command -v xz >/dev/null || need+=(xz-utils)
command -v bzip2 >/dev/null || need+=(bzip2)
if [ ${#need[@]} -gt 0 ]; then
    echo "build-libs: installing ${need[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 \
        install -y -qq --no-install-recommends "${need[@]}"
fi
# Debian's emscripten needs Debian's node modules (acorn), whichever node runs.
export NODE_PATH=/usr/share/nodejs

# --- sources ----------------------------------------------------------------
apt_dir=$out/.apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
     "http://deb.debian.org/debian bookworm main" >"$apt_dir/sources.list"
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
          -o "Dir::Etc::SourceParts=$apt_dir/none"
          -o "Dir::State::Lists=$apt_dir/lists"
          -o "Dir::Cache=$apt_dir/cache"
          -o "APT::Sandbox::User=root"
          -o "Debug::NoLocking=1")
apt-get "${apt_opts[@]}" -qq update

src=$out/.src
rm -rf "$src"
mkdir -p "$src" "$out/include/SDL" "$out/include/minizip" "$out/lib"
packages=()
building sdl && packages+=("libsdl1.2=$SDL_VERSION")
building zlib && packages+=("zlib=$ZLIB_VERSION")
building mikmod && packages+=("libmikmod=$MIKMOD_VERSION")
(cd "$src" && apt-get "${apt_opts[@]}" -qq source "${packages[@]}" >/dev/null)

# Optimised, with WebAssembly's bulk memory instructions (a memcpy or a
# memset is one instruction rather than a call out to JavaScript) and its
# 128-bit vectors, as the game: browsers have both since 2023 at the latest.
optimise=(-O2 -mbulk-memory -msimd128)

# Compiles the sources given on stdin into objects under $1, $jobs at a time.
compile() {
    local objdir=$1; shift
    mkdir -p "$objdir"
    xargs -P "$jobs" -I{} sh -c \
        'emcc "$@" -c "$0" -o "'"$objdir"'/$(echo "$0" | tr / _).o"' {} "$@"
}

# --- SDL 1.2 ----------------------------------------------------------------
building sdl && (
    rm -f "$out/.stamp-sdl"
    sdl=$(echo "$src"/libsdl1.2-*/)
    for p in "$here"/sdl/*.patch; do
        patch -d "$sdl" -p1 -s --forward <"$p"
    done
    cd "$sdl"
    # SDL's core as its Makefile.minimal lists it, the dummy drivers as
    # fallbacks, and this platform's drivers where the patches add them.
    shopt -s nullglob
    printf '%s\n' src/*.c src/{audio,cdrom,cpuinfo,events,file,joystick,stdlib,thread,timer,video}/*.c \
       src/{audio,video,joystick,cdrom,timer,loadso}/dummy/*.c src/thread/generic/*.c \
       src/*/emscripten/*.c |
        compile obj "${optimise[@]}" -Iinclude -Wno-parentheses -Wno-unused-value -Wno-format \
                    -Wno-pointer-sign
    rm -f "$out/lib/libSDL.a"
    emar rcs "$out/lib/libSDL.a" obj/*.o
    rm -rf "$out/include/SDL"
    mkdir -p "$out/include/SDL"
    cp include/*.h "$out/include/SDL/"
    echo "$want_sdl" >"$out/.stamp-sdl"
)

# --- zlib + minizip -----------------------------------------------------------
building zlib && (
    rm -f "$out/.stamp-zlib"
    cd "$src"/zlib-*/
    printf '%s\n' adler32.c compress.c crc32.c deflate.c gzclose.c gzlib.c gzread.c gzwrite.c \
       infback.c inffast.c inflate.c inftrees.c trees.c uncompr.c zutil.c |
        compile obj "${optimise[@]}" -DHAVE_UNISTD_H -DHAVE_STDARG_H
    rm -f "$out/lib/libz.a"
    emar rcs "$out/lib/libz.a" obj/*.o
    cp zlib.h zconf.h "$out/include/"
    cd contrib/minizip
    printf '%s\n' ioapi.c unzip.c zip.c |
        compile obj "${optimise[@]}" -I../.. -DUSE_FILE32API -DNOCRYPT -Wno-macro-redefined -Wno-unused-value
    rm -f "$out/lib/libminizip.a"
    emar rcs "$out/lib/libminizip.a" obj/*.o
    cp ioapi.h unzip.h zip.h "$out/include/minizip/"
    echo "$want_zlib" >"$out/.stamp-zlib"
)

# --- libmikmod ------------------------------------------------------------------
building mikmod && (
    rm -f "$out/.stamp-mikmod"
    cd "$src"/libmikmod-*/
    # Its autotools build cannot cross-compile to emscripten; its CMake build
    # can, with every output driver but the file ones off and no threads.
    emcmake cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="${optimise[*]}" \
        -DENABLE_ALSA=0 -DENABLE_OSS=0 -DENABLE_PULSE=0 -DENABLE_ESD=0 -DENABLE_NAS=0 \
        -DENABLE_AF=0 -DENABLE_SNDIO=0 -DENABLE_SUNAUDIO=0 -DENABLE_OPENAL=0 \
        -DENABLE_SDL=0 -DENABLE_STDOUT=0 -DENABLE_PIPE=0 -DENABLE_DL=0 \
        -DENABLE_THREADS=0 -DENABLE_SIMD=0 -DENABLE_STATIC=1 >build.log 2>&1 ||
        { tail -30 build.log; exit 1; }
    cmake --build build --target mikmod-static -j "$jobs" >>build.log 2>&1 ||
        { tail -30 build.log; exit 1; }
    cp build/libmikmod.a "$out/lib/libmikmod.a"
    cp build/mikmod.h "$out/include/" 2>/dev/null || cp include/mikmod.h "$out/include/"
    echo "$want_mikmod" >"$out/.stamp-mikmod"
)

rm -rf "$src"
rm -f "$out/.stamp"  # the single stamp of earlier versions
echo "build-libs: built ${todo[*]} into $out in $((SECONDS - start)) s"
