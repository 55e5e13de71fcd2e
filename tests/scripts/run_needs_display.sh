#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# run.sh stops at once, with its reason and a failing status, when the program could not open
# a window, and goes on when there is a display, the user chose a Qt platform or the program
# is only asked for its help or version.
# Usage: run_needs_display.sh <run.sh>
# The commands run.sh would go on to (installing, building) are kept out of reach by an empty
# PATH: a run.sh that goes on fails at once on them instead of installing anything.
set -uo pipefail
run_sh=$1
failed=0
#   row name            environment                    arguments        expected
rows=(
    "bare               |                              |                |refused"
    "x11                |DISPLAY=:7                    |                |accepted"
    "wayland            |WAYLAND_DISPLAY=wayland-7     |                |accepted"
    "empty DISPLAY      |DISPLAY=                      |                |refused"
    "platform variable  |QT_QPA_PLATFORM=offscreen     |                |accepted"
    "platform argument  |                              |-platform vnc   |accepted"
    "other argument     |                              |--new-instance  |refused"
    "version            |                              |--version       |accepted"
    "help               |                              |-h              |accepted"
)
for row in "${rows[@]}"; do
    IFS='|' read -r name vars args expected <<<"$row"
    name=$(echo $name) expected=$(echo $expected)
    # shellcheck disable=SC2086
    out=$(env -i PATH=/nonexistent $vars /bin/bash "$run_sh" $args 2>&1)
    status=$?
    if grep -q "no desktop session" <<<"$out" && [ "$status" -ne 0 ]; then
        got=refused
    elif grep -q "no desktop session" <<<"$out"; then
        got="refused with status 0"
    else
        got=accepted
    fi
    if [ "$got" = "$expected" ]; then
        echo "ok   $name: $got"
    else
        echo "FAIL $name: expected $expected, got $got ($out)"
        failed=1
    fi
done
exit $failed
