#!/bin/bash
# Dependencies in src/ point one way, down this list:
#   shell -> menu, game -> gfx, audio -> archive -> core -> platform
# A file may include headers of its own folder and of any folder on a lower
# level; memtrack stands apart and includes only itself. Every file under the
# folder is read, whatever its suffix, and both "folder/x" and <folder/x>
# count, since src itself is on the include path. A path that climbs with ..
# is refused outright: it could reach any folder unseen. Prints each include
# that breaks the order and fails if there is one, or if there is nothing to read.
# Usage: include_order.sh [src folder]
src=${1:-$(dirname "$0")/../src}
src=${src%/}
if [ ! -d "$src" ] || [ -z "$(find "$src" -type f -print -quit)" ]; then
    echo "no source files to check in $src"
    exit 2
fi
declare -A level=([platform]=0 [core]=1 [archive]=2 [gfx]=3 [audio]=3 [menu]=4 [game]=4 [shell]=5)
include='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]*)[>"]'
bad=0
while IFS= read -r line; do
    file=${line%%:*}
    text=${line#*:*:}
    from=${file#"$src"/}
    [[ $from == */* ]] && from=${from%%/*} || from="(src itself)"
    # The path between its quotes or angle brackets, without ./ steps.
    [[ $text =~ $include ]] || continue
    path=${BASH_REMATCH[1]}
    while [[ $path == ./* ]]; do path=${path#./}; done
    while [[ $path == */./* ]]; do path=${path//\/.\//\/}; done
    [ -n "$path" ] || continue
    if [[ /$path/ == */../* ]]; then
        echo "include climbs with ..: $line"
        bad=1
        continue
    fi
    # A name without a folder is the file's own neighbour or a system header;
    # a folder that src does not hold is a library's.
    [[ $path == */* ]] || continue
    to=${path%%/*}
    [ -d "$src/$to" ] && [ "$to" != "$from" ] || continue
    if [ "${level[$from]:--1}" -lt 0 ] || [ "${level[$to]:--1}" -lt 0 ] ||
        [ "${level[$to]}" -ge "${level[$from]}" ]; then
        echo "include points up or sideways: $line"
        bad=1
    fi
done < <(grep -rIHn '^[[:space:]]*#[[:space:]]*include' "$src")
exit $bad
