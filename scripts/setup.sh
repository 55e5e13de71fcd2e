#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what the build, the tests and the program need on Debian 12, when it is missing.
# Sourced by run.sh and test.sh.
set -euo pipefail

QZ_PACKAGES=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev libfontconfig-dev
    fonts-ipafont-gothic fonts-ipafont-mincho
    qt6-translations-l10n
    xvfb xauth libx11-dev dbus-daemon
    pulseaudio pulseaudio-utils
    poppler-utils dpkg-dev desktop-file-utils appstream
    clang-format
)

qz_missing_packages() {
    local p
    for p in "${QZ_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
    done
}

qz_install_packages() {
    local missing
    missing=$(qz_missing_packages)
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}

qz_build() {
    local build_dir=$1
    shift
    cmake -S "$QZ_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$build_dir" -j"$(nproc)"
}

QZ_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
