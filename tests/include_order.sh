#!/bin/bash
# Dependencies in src/ point one way, down this list:
#   shell -> menu, game -> gfx, audio -> archive -> core -> platform
# A file may include headers of its own folder and of any folder on a lower
# level; memtrack stands apart and includes only itself. Prints each include
# that points up or sideways and fails if there is one.
# Usage: include_order.sh [src folder]
src=${1:-$(dirname "$0")/../src}
level() {
    case $1 in
        platform) echo 0 ;; core) echo 1 ;; archive) echo 2 ;;
        gfx | audio) echo 3 ;; menu | game) echo 4 ;; shell) echo 5 ;;
        *) echo -1 ;;
    esac
}
bad=0
while IFS= read -r line; do
    file=${line%%:*}
    from=${file#"$src"/}
    from=${from%%/*}
    to=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' <<<"${line#*:}")
    [ -z "$to" ] || [ "$to" = "$from" ] && continue
    if [ "$(level "$from")" -lt 0 ] || [ "$(level "$to")" -lt 0 ] ||
        [ "$(level "$to")" -ge "$(level "$from")" ]; then
        echo "include points up or sideways: $line"
        bad=1
    fi
done < <(grep -rH --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src")
exit $bad
