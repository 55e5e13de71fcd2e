#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The portable Windows program, cross-built on Debian 12 and tried under Wine.
#
#   scripts/windows.sh          installs what is missing, builds Qt for Windows once (kept in
#                               ~/.cache/qztimer), then the program, its tests and the zip
#                               build-windows/qztimer-<version>-windows-x64.zip
#   scripts/windows.sh --check  runs the checks under Wine on that build: the logic and file
#                               suites through CTest, then the zipped program itself
set -Eeuo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

QZ_WIN_PACKAGES=(
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 ninja-build
    # Qt's sources come from Debian's own source package.
    dpkg-dev xz-utils zip unzip
    wine wine64
    # Wine's Wintab headers, which Debian's Qt source lacks.
    libwine-dev
    # The checks under Wine: a window manager, key presses and screenshots.
    openbox xdotool imagemagick sox
)
QZ_PACKAGES+=("${QZ_WIN_PACKAGES[@]}")

QT_SOURCE_PACKAGE=qt6-base
QT_VERSION=6.4.2
QZ_CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/qztimer
QT_PREFIX=$QZ_CACHE/qt-$QT_VERSION-mingw
QZ_WIN=$QZ_ROOT/build-windows
QZ_TOOLCHAIN=$QZ_ROOT/cmake/mingw-w64-x86_64.cmake
QZ_VERSION=$(sed -n 's/^project(qztimer VERSION \([0-9.]*\).*/\1/p' "$QZ_ROOT/CMakeLists.txt")
QZ_ZIP=$QZ_WIN/qztimer-$QZ_VERSION-windows-x64.zip

# Only what the program uses: Core, Gui, Widgets, PrintSupport, Network (the local socket) and
# Test, with the bundled zlib, PCRE2, libpng and HarfBuzz. Text is drawn by Windows' own font
# engines; audio goes to the system's wave output, so Qt Multimedia is not needed.
QT_OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release -DQT_QMAKE_TARGET_MKSPEC=win32-g++
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_dbus=OFF
    -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_ssl=OFF -DFEATURE_schannel=OFF
    -DFEATURE_zstd=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_freetype=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_brotli=OFF
    -DFEATURE_dtls=OFF -DFEATURE_ocsp=OFF -DFEATURE_sctp=OFF
)

say() { echo "windows.sh: $*"; }

# A build of Qt is kept while its source version, options and tool chain stay the same.
qt_key() {
    {
        echo "$QT_SOURCE_PACKAGE $(qt_source_version)"
        printf '%s\n' "${QT_OPTIONS[@]}"
        cat "$QZ_TOOLCHAIN"
        x86_64-w64-mingw32-g++-posix --version | head -1
    } | sha256sum | cut -c1-16
}

# The version of Debian's Qt that the host tools (moc, rcc, uic) come from: the Windows
# libraries must be built from the same source.
qt_source_version() {
    dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null || dpkg-query -W -f='${Version}' qt6-base-dev
}

# apt fetches the source package with the checksums of Debian's signed index, as it does for
# binary packages; a deb-src line for the same archive is added when there is none.
ensure_deb_src() {
    if apt-get source --print-uris "$QT_SOURCE_PACKAGE=$(qt_source_version)" >/dev/null 2>&1; then
        return 0
    fi
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    say "adding Debian's source archive to apt (/etc/apt/sources.list.d/qztimer-src.sources)"
    local uri suite
    uri=$(grep -h -m1 '^URIs:' /etc/apt/sources.list.d/debian.sources 2>/dev/null | awk '{print $2}')
    uri=${uri:-http://deb.debian.org/debian}
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    printf 'Types: deb-src\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$uri" "$suite" "$suite" | $sudo tee /etc/apt/sources.list.d/qztimer-src.sources >/dev/null
    $sudo apt-get update -qq
}

# Two mends to Debian's Qt source before a Windows build of it.
prepare_qt_source() {
    local src=$1
    # Qt 6.4.2 builds its DirectWrite font engine and font database only together with
    # Direct2D, yet the Windows print engine and platform plugin use them whenever DirectWrite
    # is on: without Direct2D (which the program does not need) neither would link. They get
    # the same condition as the code they call.
    sed -i -E 's/^#if QT_CONFIG\((directwrite3?)\)$/#if QT_CONFIG(\1) \&\& QT_CONFIG(direct2d)/' \
        "$src/src/printsupport/platform/windows/qprintengine_win.cpp" \
        "$src/src/plugins/platforms/windows/qwindowsintegration.cpp"
    # Debian's source leaves out the Wintab headers (their licence forbids changes), which the
    # platform plugin's tablet support includes. Wine's own (LGPL) stand in, with the few Wine
    # macros they use defined for a plain Windows build.
    local wintab=$src/src/3rdparty/wintab
    mkdir -p "$wintab"
    cp /usr/include/wine/wine/windows/wintab.h "$wintab/wine_wintab.h"
    cp /usr/include/wine/wine/windows/pktdef.h "$wintab/pktdef.h"
    cat >"$wintab/wintab.h" <<'EOS'
/* Wine's Wintab header, with the Wine macros it uses defined for a plain Windows build. */
#ifndef QZ_WINTAB_SHIM_H
#define QZ_WINTAB_SHIM_H
#include <windows.h>
#ifndef API
#define API WINAPI
#endif
#ifdef UNICODE
#define WINELIB_NAME_AW(n) n##W
#else
#define WINELIB_NAME_AW(n) n##A
#endif
#define DECL_WINELIB_TYPE_AW(t) typedef WINELIB_NAME_AW(t) t;
#include "wine_wintab.h"
#endif
EOS
}

build_qt() {
    local key
    key=$(qt_key)
    if [ -f "$QT_PREFIX/qztimer-qt-key" ] && [ "$(cat "$QT_PREFIX/qztimer-qt-key")" = "$key" ]; then
        say "Qt $QT_VERSION for Windows: kept in $QT_PREFIX"
        return 0
    fi
    ensure_deb_src
    local version src
    version=$(qt_source_version)
    mkdir -p "$QZ_CACHE/src"
    src=$QZ_CACHE/src/$QT_SOURCE_PACKAGE-${version%-*}
    if [ ! -f "$src/.qztimer-unpacked-$version" ]; then
        say "fetching Debian's $QT_SOURCE_PACKAGE $version source"
        rm -rf "$src"
        (cd "$QZ_CACHE/src" && qz_quiet apt-get source --only-source "$QT_SOURCE_PACKAGE=$version")
        prepare_qt_source "$src"
        touch "$src/.qztimer-unpacked-$version"
    fi
    local build=$QZ_CACHE/build-qtbase
    say "building Qt $QT_VERSION for Windows (about 1,100 objects; most of an hour on 2 cores)"
    rm -rf "$build" "$QT_PREFIX"
    qz_quiet cmake -S "$src" -B "$build" -G Ninja "${QT_OPTIONS[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$QZ_TOOLCHAIN" -DCMAKE_INSTALL_PREFIX="$QT_PREFIX" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    qz_quiet cmake --build "$build" -j"$(nproc)"
    qz_quiet cmake --install "$build"
    echo "$key" >"$QT_PREFIX/qztimer-qt-key"
    rm -rf "$build"
}

# The generators that run during the build, built for this machine.
build_host_tools() {
    qz_quiet cmake -S "$QZ_ROOT" -B "$QZ_WIN/host" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
    qz_quiet cmake --build "$QZ_WIN/host" -j"$(nproc)" --target qz_make_sounds qz_make_icons qz_make_cp932_table
}

# Where Wine finds the DLLs of Qt and of the MinGW runtime for programs run from the build.
mingw_runtime_dir() {
    dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)"
}
# Wine shows the whole file system as drive Z:.
windows_path() {
    local p=${1//\//\\}
    echo "Z:$p"
}
wine_dll_path() {
    printf '%s;%s;%s' "$(windows_path "$QT_PREFIX/bin")" "$(windows_path "$(mingw_runtime_dir)")" \
        "$(windows_path /usr/x86_64-w64-mingw32/lib)"
}

# CTest runs each Windows test program through this: Wine in the build's own prefix, with the
# DLLs found where the build left them.
write_emulator() {
    mkdir -p "$QZ_WIN"
    cat >"$QZ_WIN/wine-run" <<EOS
#!/bin/sh
export WINEPREFIX='$QZ_WIN/wineprefix' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
export WINEPATH='$(wine_dll_path)'
exec wine "\$@"
EOS
    chmod +x "$QZ_WIN/wine-run"
}

build_program() {
    write_emulator
    qz_quiet cmake -S "$QZ_ROOT" -B "$QZ_WIN/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$QT_PREFIX/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$QZ_TOOLCHAIN" \
        -DQZ_HOST_TOOLS_DIR="$QZ_WIN/host/tools" -DBUILD_TESTING=ON \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$QZ_WIN/wine-run"
    cmake --build "$QZ_WIN/build" -j"$(nproc)"
}

# The DLLs a Windows program or DLL imports, by name.
imports_of() {
    x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'
}

# Copies into <folder> every DLL that the programs and plugins there need and that comes with
# Qt or MinGW, and the DLLs those need in turn; the system's own DLLs stay out.
deploy_dlls() {
    local folder=$1 queue=() seen=" " f dll found dir
    mapfile -t queue < <(find "$folder" -iname '*.exe' -o -iname '*.dll')
    while [ ${#queue[@]} -gt 0 ]; do
        f=${queue[0]}
        queue=("${queue[@]:1}")
        while read -r dll; do
            case $seen in *" ${dll,,} "*) continue ;; esac
            seen+="${dll,,} "
            found=""
            for dir in "$QT_PREFIX/bin" "$(mingw_runtime_dir)" /usr/x86_64-w64-mingw32/lib; do
                [ -f "$dir/$dll" ] && found=$dir/$dll && break
            done
            [ -n "$found" ] || continue
            cp "$found" "$folder/"
            queue+=("$folder/$dll")
        done < <(imports_of "$f")
    done
}

package_zip() {
    local name=qztimer-$QZ_VERSION-windows-x64
    local stage=$QZ_WIN/stage
    rm -rf "$stage" "$QZ_ZIP"
    qz_quiet cmake --install "$QZ_WIN/build" --prefix "$stage/$name"
    local folder=$stage/$name
    mkdir -p "$folder/platforms" "$folder/styles" "$folder/translations"
    cp "$QT_PREFIX/plugins/platforms/qwindows.dll" "$folder/platforms/"
    cp "$QT_PREFIX/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
    # Qt's own dialogs and messages in Japanese: the catalogue and the two it names.
    cp /usr/share/qt6/translations/{qt_ja,qtbase_ja,qtmultimedia_ja}.qm "$folder/translations/"
    deploy_dlls "$folder"
    x86_64-w64-mingw32-strip --strip-unneeded "$folder"/*.exe "$folder"/*.dll "$folder"/*/*.dll
    # Nothing of the build machine's paths may travel with the program.
    if grep -rl --binary-files=text -e "$QZ_ROOT" -e "$QT_PREFIX" "$folder" >/dev/null; then
        say "these files name the build machine's folders:" >&2
        grep -rl --binary-files=text -e "$QZ_ROOT" -e "$QT_PREFIX" "$folder" >&2
        return 1
    fi
    (cd "$stage" && TZ=UTC qz_quiet zip -r -X -9 "$QZ_ZIP" "$name")
    say "$QZ_ZIP ($(du -h "$QZ_ZIP" | cut -f1))"
}

build_all() {
    qz_install_packages
    local t0=$SECONDS
    build_qt
    say "Qt ready after $((SECONDS - t0)) s"
    build_host_tools
    build_program
    package_zip
    say "done in $((SECONDS - t0)) s"
}

# Sourced (for a single step), it only defines the steps.
[[ ${BASH_SOURCE[0]} == "$0" ]] || return 0
case ${1:-} in
--check)
    source "$QZ_ROOT/scripts/windows-check.sh"
    check_all
    ;;
"") build_all ;;
*)
    echo "usage: $0 [--check]" >&2
    exit 2
    ;;
esac
