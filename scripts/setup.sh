#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what the build, the tests and the program need on Debian 12, when it is missing.
# Sourced by run.sh, test.sh and check_package.sh.
set -Eeuo pipefail
# A check that fails without a word of its own (a test, a grep) still says where it stopped.
# A function that returns a failure has said why already.
trap 'qz_s=$?; [[ $BASH_COMMAND == return* ]] || echo "${0##*/}: stopped ($qz_s) at line $LINENO: $BASH_COMMAND" >&2' ERR

QZ_PACKAGES=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev libfontconfig-dev
    fonts-ipafont-gothic fonts-ipafont-mincho
    qt6-translations-l10n
    xvfb xauth libx11-dev dbus-daemon
    pulseaudio pulseaudio-utils
    poppler-utils desktop-file-utils appstream
    clang-format
    # The package step: dpkg-shlibdeps finds the library dependencies, lintian judges the result.
    dpkg-dev lintian
)

qz_missing_packages() {
    local p
    for p in "${QZ_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
    done
}

qz_install_packages() {
    local missing
    missing=$(qz_missing_packages | tr '\n' ' ')
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || {
            echo "Installing these packages needs root (or sudo): $missing" >&2
            return 1
        }
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}

# Runs a chatty command with its output kept aside; when it fails, the output is shown after all,
# so the reason is on the screen.
qz_quiet() {
    local log status=0
    log=$(mktemp)
    "$@" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        cat "$log" >&2
        echo "failed ($status): $*" >&2
    fi
    rm -f "$log"
    return "$status"
}

qz_build() {
    local build_dir=$1
    shift
    qz_quiet cmake -S "$QZ_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$build_dir" -j"$(nproc)"
}

QZ_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
