#!/bin/bash
# The tests that start the real game choose its surroundings themselves: the
# caller's SDL drivers (SDL_VIDEODRIVER=dummy is common in CI and shells),
# display, scaling, window place, temporary folder and XDG folders would
# otherwise reach the game and change what it shows or where it writes.
# Sourced, it defines own_environment; run, it applies it and runs its
# arguments: own_environment.sh COMMAND [ARGUMENT...]

own_environment() {
    local name
    for name in $(compgen -e); do
        case $name in
            SDL_* | SDL12COMPAT_* | XDG_* | TESSAL_*) unset "$name" ;;
        esac
    done
    unset DISPLAY WAYLAND_DISPLAY XAUTHORITY TMPDIR
    # Each test starts its own X server and sets DISPLAY; sound goes nowhere.
    export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    own_environment
    exec "$@"
fi
