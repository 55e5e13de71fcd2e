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
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && echo "$id" && return 0
        sleep 0.1
    done
    return 1
}

# Clicks at a point given relative to the window's top left corner.
click_in() { # <window> <x> <y>
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3)) click 1
    sleep 0.5
}

# Seconds (whole, from the start of the recording) whose sound is below a whisper.
silent_seconds() { # <raw recording> <from> <to>
    local s rms silent=""
    for s in $(seq "$2" "$3"); do
        rms=$(sox -t raw -r 44100 -e signed -b 16 -c 1 "$1" -n trim "$s" 1 stat 2>&1 |
            awk '/RMS +amplitude/ {print $3}')
        awk -v r="${rms:-0}" 'BEGIN { exit !(r < 0.01) }' && silent+="$s "
    done
    echo "$silent"
}

check_program() {
    local app=$CHECK/app
    mkdir -p "$app"
    (cd "$app" && unzip -q "$QZ_ZIP")
    local folder
    folder=$(echo "$app"/qztimer-*)
    say "starting $folder/qztimer.exe"
    (cd "$folder" && exec wine qztimer.exe >"$CHECK/program.log" 2>&1) &
    local launcher
    launcher=$(window_of "ＱＺタイマー") || {
        fail "the launcher did not show"
        return
    }
    sleep 1
    shot launcher

    # A second start hands over to the first and ends.
    local t0=$SECONDS
    (cd "$folder" && timeout 30 wine qztimer.exe >"$CHECK/second.log" 2>&1) || fail "second start did not end by itself"
    say "second start ended after $((SECONDS - t0)) s"
    [ "$(xdotool search --onlyvisible --name "^ＱＺタイマー\$" 2>/dev/null | wc -l || true)" -eq 1 ] || fail "a second launcher is showing"

    # A ring set a few seconds ahead in row 1 of the notification timer, recorded from the sink.
    xdotool windowactivate --sync "$launcher"
    xdotool key space
    local timer
    timer=$(window_of "お知らせタイマー") || {
        fail "the notification timer did not open"
        return
    }
    sleep 1
    click_in "$timer" 136 125
    timeout 18 parec --device=qz.monitor --format=s16le --rate=44100 --channels=1 --raw \
        >"$CHECK/ring.raw" 2>/dev/null &
    local recorder=$!
    sleep 1
    xdotool type --delay 50 "$(date -d '+5 seconds' +%H.%M.%S)"
    xdotool key Return
    sleep 7
    shot ringing
    wait "$recorder" || true
    # The ring starts 5 s after the recording began, and is heard within a second (the queue).
    local silent
    silent=$(silent_seconds "$CHECK/ring.raw" 7 15)
    if [ -n "$silent" ]; then fail "silent seconds during the ring: $silent"; else say "ring heard in every second from 7 to 15"; fi
    click_in "$timer" 355 125 # 停止

    # Two minutes of ring from the settings menu: TONESPAN.DAT beside the program, as on Linux.
    xdotool key alt+s
    sleep 0.5
    xdotool key Right Down Down Down Return
    sleep 1
    if [ "$(od -An -c "$folder/TONESPAN.DAT" | tr -d ' \n')" = '120,30,0,0\r\n' ]; then
        say "TONESPAN.DAT: 120,30,0,0 CR LF, as the Linux program writes it"
    else
        fail "TONESPAN.DAT holds: $(od -An -c "$folder/TONESPAN.DAT")"
    fi
    shot timer

    # A worksheet saved through the system's file dialog and opened again after a reset.
    click_in "$timer" 346 430 # メニューへ
    # Wine makes a window anew when it is shown again.
    launcher=$(window_of "ＱＺタイマー") || {
        fail "the launcher did not come back"
        return
    }
    click_in "$launcher" 238 244 # 時間加算計算
    local sheet
    sheet=$(window_of "時間加算計算") || {
        fail "the time-addition window did not open"
        return
    }
    xdotool type --delay 60 "1.30"
    xdotool key Down
    xdotool type --delay 60 "2.45"
    xdotool key Down
    save_or_open "$sheet" 120 CHECK # 名前を付けて保存
    if [ "$(head -c 16 "$folder/CHECK.TIM" 2>/dev/null | od -An -c | tr -d ' \n')" = '2,1,1470,0,3,2\r\n' ]; then
        say "CHECK.TIM written beside the program"
    else
        fail "CHECK.TIM was not written as expected"
    fi
    click_in "$sheet" 505 197 # ﾘｾｯﾄ
    save_or_open "$sheet" 40 CHECK.TIM # ファイルを開く
    shot worksheet-reopened
    click_in "$sheet" 360 12 # ﾍﾙﾌﾟ
    window_of "ＱＺタイマー ﾍﾙﾌﾟ" >/dev/null || fail "help did not open"
    shot help
}

# Clicks a toolbar command that opens the system's file dialog, types the name and confirms.
save_or_open() { # <window> <toolbar x> <name>
    click_in "$1" "$2" 12
    sleep 2
    click_in "$1" 425 389 # the name box
    xdotool type --delay 60 "$3"
    click_in "$1" 655 415 # 保存 / 開く
    sleep 1.5
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
