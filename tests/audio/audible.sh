#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Plays every sound of the program on its window's ring schedule through the real player into
# private PulseAudio null sinks, records each sink's monitor and fails when any second that
# should carry sound is silent.
#
# Usage: audible.sh <qz_audible_probe> <wave folder> [scenario...]
# Each scenario gets its own daemon (own runtime folder and home, a null sink, no session
# bus), so the sounds run side by side and a user's own sound server is never touched. For a
# "restart:" scenario the daemon is stopped and started again when the probe's plan says
# (<plan>.outages), and the times it was gone and back are written to <plan>.actual.
# When no daemon can be started the test fails: a machine without audio proves nothing.
# QZ_KEEP=1 keeps the recordings and logs (under $TMPDIR) for a look afterwards.
set -uo pipefail
probe=$1
waves=$2
shift 2
# The recordings may be judged by another build's checker (to try an older player).
checker=${QZ_AUDIBLE_CHECKER:-$probe}
if [ $# -gt 0 ]; then
    scenarios=("$@")
else
    scenarios=(
        "row:RING1.WAV" "row:RING2.WAV" "row:時間ですよ.WAV" "row:ﾍﾞﾙ.WAV" "row:ｻｲﾚﾝ.WAV"
        "row:鐘.WAV" "row:宇宙.WAV" "row:汽笛.WAV"
        "countdown:RING.WAV" "countdown:1min07A.WAV"
        "user" "beep-row" "beep-countdown" "preview:時間ですよ.WAV" "restart:RING1.WAV"
    )
fi
for tool in pulseaudio parec pactl; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/qz-audible.XXXXXX")
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    for p in "$work"/*/daemon.pid; do [ -f "$p" ] && kill "$(cat "$p")" 2>/dev/null; done
    wait 2>/dev/null
    [ -n "${QZ_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

start_daemon() { # <dir>
    local dir=$1
    mkdir -p "$dir"
    chmod 700 "$dir"
    XDG_RUNTIME_DIR=$dir HOME=$dir DBUS_SESSION_BUS_ADDRESS=disabled: \
        pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=no \
        --disallow-module-loading=no \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" \
        --load="module-null-sink sink_name=qz rate=44100" \
        >>"$dir/daemon.log" 2>&1 &
    echo $! >"$dir/daemon.pid"
}

daemon_answers() { # <dir>
    PULSE_SERVER=unix:$1/native pactl info >/dev/null 2>&1
}

now_ms() { date +%s%3N; }

sleep_until() { # <wall-clock ms>
    local left=$(($1 - $(now_ms)))
    [ $left -gt 0 ] && sleep "$((left / 1000)).$(printf %03d $((left % 1000)))"
}

# Carries out the outages the probe planned for the daemon in <dir>: at each one's start the
# daemon is stopped with the given signal, at its end a new one is started on the same socket.
# Records, a line per outage, when the old daemon was gone and when the new one answered.
run_outages() { # <dir>
    local dir=$1 from to sig pid gone
    for _ in $(seq 600); do [ -s "$dir/plan.outages" ] && break; sleep 0.1; done
    while read -r from to sig; do
        sleep_until "$from"
        pid=$(cat "$dir/daemon.pid")
        kill "-$sig" "$pid"
        while kill -0 "$pid" 2>/dev/null; do sleep 0.02; done
        gone=$(now_ms)
        sleep_until "$to"
        start_daemon "$dir"
        for _ in $(seq 500); do daemon_answers "$dir" && break; sleep 0.02; done
        daemon_answers "$dir" || return 1
        echo "$gone $(now_ms)" >>"$dir/plan.actual"
    done <"$dir/plan.outages"
}

i=0
for s in "${scenarios[@]}"; do
    start_daemon "$work/$i"
    i=$((i + 1))
done
# Wait for every daemon to answer.
for ((n = 0; n < i; n++)); do
    dir=$work/$n
    ok=0
    for _ in $(seq 50); do
        if daemon_answers "$dir"; then ok=1; break; fi
        sleep 0.2
    done
    if [ $ok -ne 1 ]; then
        echo "FAIL: the private PulseAudio daemon did not start:"
        cat "$dir/daemon.log"
        exit 1
    fi
done

# Long enough for the longest schedule (a ring, a pause, a second ring) and the player's exit.
record_seconds=${QZ_AUDIBLE_SECONDS:-103}
n=0
rings=()
recorders=()
for s in "${scenarios[@]}"; do
    dir=$work/$n
    env PULSE_SERVER=unix:$dir/native XDG_RUNTIME_DIR=$dir HOME=$dir \
        "$checker" record "$dir/peaks" "$record_seconds" 2>"$dir/record.log" &
    recorders+=($!)
    n=$((n + 1))
done
sleep 1
n=0
for s in "${scenarios[@]}"; do
    dir=$work/$n
    env PULSE_SERVER=unix:$dir/native XDG_RUNTIME_DIR=$dir HOME=$dir \
        QT_QPA_PLATFORM=offscreen "$probe" ring "$s" "$waves" "$dir/plan" \
        >"$dir/probe.log" 2>&1 &
    rings+=($!)
    if [[ $s == restart:* ]]; then
        run_outages "$dir" &
        pids+=($!)
    fi
    n=$((n + 1))
done
failed=0
n=0
for s in "${scenarios[@]}"; do
    if ! wait "${rings[$n]}"; then
        echo "FAIL: $s: the player's process failed:"
        cat "$work/$n/probe.log"
        failed=1
    fi
    n=$((n + 1))
done
n=0
for s in "${scenarios[@]}"; do
    if ! wait "${recorders[$n]}"; then
        echo "FAIL: $s: the recorder failed:"
        cat "$work/$n/record.log"
        failed=1
    fi
    n=$((n + 1))
done
n=0
for s in "${scenarios[@]}"; do
    dir=$work/$n
    if result=$("$checker" check "$dir/peaks" "$dir/plan"); then
        echo "ok   $s: $result"
    else
        echo "FAIL $s: $result"
        failed=1
    fi
    n=$((n + 1))
done
exit $failed
