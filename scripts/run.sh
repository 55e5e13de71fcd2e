#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and starts the program.
set -euo pipefail

# The program is a set of windows: without a desktop session Qt aborts at start, so say so
# before minutes of installing and building. A platform the user chose (QT_QPA_PLATFORM, or
# -platform on the command line, e.g. offscreen or vnc) is taken as given; --help and
# --version answer without any window system.
qz_display_chosen() {
    [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ] && return 0
    local arg
    for arg in "$@"; do
        case $arg in
        -platform | --platform | -platform=* | --platform=*) return 0 ;;
        -h | --help | -v | --version) return 0 ;;
        esac
    done
    return 1
}
if ! qz_display_chosen "$@"; then
    echo "run.sh: no desktop session (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "Start it from a desktop session, or choose a platform, e.g. QT_QPA_PLATFORM=vnc." >&2
    exit 1
fi

source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
qz_install_packages
qz_build "$QZ_ROOT/build" -DBUILD_TESTING=OFF
exec "$QZ_ROOT/build/bin/qztimer" "$@"
