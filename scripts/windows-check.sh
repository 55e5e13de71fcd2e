#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The checks of the Windows build under Wine, sourced by `windows.sh --check`: the logic and file
# suites through CTest, then the zipped program as a person would try it, on a private X server
# (Xvfb) with a private sound server whose null sink is recorded. Screenshots and recordings are
# left in build-windows/check for a look.

CHECK=$QZ_WIN/check
export WINEPREFIX=$QZ_WIN/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
CHECK_PIDS=()
FAILED=0

fail() {
    say "FAIL: $*" >&2
    FAILED=1
}

check_cleanup() {
    local p
    wineserver -k 2>/dev/null || true
    for p in "${CHECK_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
}

# A Japanese Windows has its own faces: Debian's IPA fonts stand in for them under their names.
prepare_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "making the Wine prefix"
        qz_quiet wineboot -i
    fi
    local fonts=$WINEPREFIX/drive_c/windows/Fonts
    mkdir -p "$fonts"
    cp /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf "$fonts/"
    local reg=$CHECK/fonts.reg
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        printf '"%s"="IPAGothic"\r\n' "ＭＳ ゴシック" "MS Gothic"
        printf '"%s"="IPAPGothic"\r\n' "ＭＳ Ｐゴシック" "MS PGothic" "MS UI Gothic"
    } | iconv -f UTF-8 -t UTF-16 >"$reg"
    qz_quiet wine regedit /S "$(windows_path "$reg")"
    wineserver -w
}

run_suites() {
    say "logic and file suites under Wine"
    local t0=$SECONDS
    if ! (cd "$QZ_WIN/build" && ctest --output-on-failure -j2 >"$CHECK/ctest.log" 2>&1); then
        cat "$CHECK/ctest.log" >&2
        fail "suites"
    fi
    tail -3 "$CHECK/ctest.log"
    say "suites took $((SECONDS - t0)) s"
}

start_desktop() {
    local n
    for n in $(seq 90 120); do [ -e /tmp/.X11-unix/X$n ] || break; done
    export DISPLAY=:$n
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$CHECK/xvfb.log" 2>&1 &
    CHECK_PIDS+=($!)
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done 2>/dev/null
    openbox >"$CHECK/openbox.log" 2>&1 &
    CHECK_PIDS+=($!)
    local pulse=$CHECK/pulse
    mkdir -p "$pulse"
    chmod 700 "$pulse"
    XDG_RUNTIME_DIR=$pulse HOME=$pulse DBUS_SESSION_BUS_ADDRESS=disabled: \
        pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=no \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$pulse/native" \
        --load="module-null-sink sink_name=qz rate=44100" \
        --load="module-always-sink" >"$CHECK/pulse.log" 2>&1 &
    CHECK_PIDS+=($!)
    export PULSE_SERVER=unix:$pulse/native
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl set-default-sink qz
}

shot() { # <name>
    import -window root "$CHECK/$1.png"
    say "screenshot $CHECK/$1.png"
}

# The window whose title is exactly <title>, waited for up to 60 s (Wine's first start is slow).
window_of() {
    local id
    for _ in $(seq 600); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$id" ] && echo "$id" && return 0
        sleep 0.1
    done
    return 1
}

check_all() {
    qz_install_packages
    [ -f "$QZ_ZIP" ] || {
        say "no Windows build: run scripts/windows.sh first" >&2
        exit 1
    }
    rm -rf "$CHECK"
    mkdir -p "$CHECK"
    trap check_cleanup EXIT
    prepare_prefix
    run_suites
    start_desktop
    check_program
    [ "$FAILED" -eq 0 ] || exit 1
    say "all checks passed"
}
