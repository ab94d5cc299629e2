#!/bin/bash
# The include-order check over a scratch source tree: each case adds one file
# and says whether the check must pass or fail with it. Also fails on a
# missing or empty folder, so a wrong path cannot make it pass.
check=$(dirname "$0")/include_order.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
for folder in platform core game shell memtrack; do mkdir -p "$tree/src/$folder"; done
echo '#pragma once' >"$tree/src/game/Game.h"

failures=0
expect() {  # pass|fail what
    local status=0
    bash "$check" "$tree/src" >"$tree/out" 2>&1 || status=$?
    if { [ "$1" = pass ] && [ $status -ne 0 ]; } || { [ "$1" = fail ] && [ $status -eq 0 ]; }; then
        echo "FAIL: must $1: $2"
        cat "$tree/out"
        failures=$((failures + 1))
    fi
}

#     verdict file                 line
cases='pass shell/Main.cpp         #include "game/Game.h"
pass   shell/Main.cpp         #include <game/Game.h>
pass   game/Board.cpp         #include "Game.h"
pass   game/Board.cpp         #  include "./game/Game.h"
pass   core/Files.cpp         #include <sys/stat.h>
pass   core/Files.cpp         #include <SDL.h>
pass   memtrack/Log.cpp       #include "memtrack/Log.h"
fail   core/Scores.cpp        #include "game/Game.h"
fail   core/Scores.cpp        #include <game/Game.h>
fail   core/Scores.cpp        #include<game/Game.h>
fail   core/Scores.cpp        #include "../game/Game.h"
fail   shell/Main.cpp         #include "core/../game/Game.h"
fail   core/Scores.hpp        #include "game/Game.h"
fail   core/Scores.inl        #include "game/Game.h"
fail   core/Scores.cc         #include "game/Game.h"
fail   memtrack/Log.cpp       #include "core/Error.h"
fail   core/Scores.cpp        #include "memtrack/Log.h"
fail   Loose.cpp              #include "core/Error.h"'
while read -r verdict file line; do
    echo "$line" >"$tree/src/$file"
    expect "$verdict" "$line in $file"
    rm "$tree/src/$file"
done <<<"$cases"

expect pass "the tree without additions"
rm -rf "$tree/src"/*
expect fail "an empty folder"
rm -rf "$tree/src"
expect fail "a missing folder"

[ $failures -eq 0 ] && echo "include order check: all cases hold"
exit $((failures != 0))
