#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Start-up of the program against a bare Qt clock, seen from outside: process start to the
# launcher window mapped and to its first frame drawn, and peak memory.
# Usage: bench/startup.sh [runs]   (default 15)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
qz_install_packages
qz_build "$QZ_ROOT/build" >/dev/null
cmake --build "$QZ_ROOT/build" --target qz_bench_startup qz_bench_bare_clock qz_bench_bare_clock_ja \
    qz_bench_bare_clock_menu -j"$(nproc)" >/dev/null
runs=${1:-15}
# The program against one of the clocks, under an X server of its own and, when given, the
# command that wraps it (a session bus).
versus() {
    local clock=$1
    shift
    "$@" xvfb-run -a -s "-screen 0 1280x1024x24" "$QZ_ROOT/build/bench/qz_bench_startup" \
        "$runs" "$QZ_ROOT/build/bin/qztimer" "$QZ_ROOT/build/bench/$clock" 2>/dev/null
}
menu='with a menu bar over the bare clock in the Japanese font:'
# Against the bare clock, then against the same clock in the program's Japanese font, then
# against that clock under a menu bar (which, like the launcher's, measures its titles before
# the window can be mapped); all without a session bus, as under a bare X server.
versus qz_bench_bare_clock
echo 'with the Japanese font in the bare clock:'
versus qz_bench_bare_clock_ja
echo "$menu"
versus qz_bench_bare_clock_menu
# Then with a session bus of its own, as on a desktop.
echo 'with a session bus:'
versus qz_bench_bare_clock dbus-run-session --
echo "$menu"
versus qz_bench_bare_clock_menu dbus-run-session --
