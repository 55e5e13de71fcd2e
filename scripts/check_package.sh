#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs a built tree into a scratch prefix and checks what a desktop needs of it, then builds
# the Debian package and checks its contents. No network. Usage: check_package.sh <build dir>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
build=$(cd "${1:?usage: check_package.sh <build dir>}" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

qz_quiet cmake --install "$build" --prefix "$stage/usr"
prog="$stage/usr/lib/qztimer"
for f in qztimer qz_audio.so qz_print.so INSTALLED RING1.WAV RING.WAV 1min07A.WAV help/index.html; do
    [ -e "$prog/$f" ] || { echo "missing from the program folder: $f" >&2; exit 1; }
done
[ -L "$stage/usr/bin/qztimer" ] || { echo "qztimer is not on the PATH" >&2; exit 1; }
version=$("$stage/usr/bin/qztimer" --version)
echo "installed: $version"
[[ $(env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=ja_JP.UTF-8 "$stage/usr/bin/qztimer" --help) == 使い方* ]]
[[ $(env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=C.UTF-8 "$stage/usr/bin/qztimer" --help) == Usage* ]]

desktop-file-validate "$stage"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$stage"/usr/share/metainfo/*.metainfo.xml
for side in 16 22 24 32 48 64 128 256; do
    ls "$stage/usr/share/icons/hicolor/${side}x${side}/apps/"*.png >/dev/null
done

# What Debian asks of every package: the licence and the changelog beside the documentation.
doc="$stage/usr/share/doc/qztimer"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' \
    "$doc/copyright" || { echo "no machine-readable copyright file in $doc" >&2; exit 1; }
gzip -t "$doc/changelog.gz" || { echo "no changelog.gz in $doc" >&2; exit 1; }
gzip -t "$stage/usr/share/man/man1/qztimer.1.gz" || { echo "no manual page for qztimer" >&2; exit 1; }

rm -f "$build"/qztimer_*.deb
(cd "$build" && qz_quiet cpack -G DEB)
deb=$(ls "$build"/qztimer_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
contents=$(dpkg-deb -c "$deb")
[[ $depends == *libqt6widgets6* ]] || { echo "no library dependencies in $deb" >&2; exit 1; }
# The modules' libraries count too, though the program loads them only on the first sound or
# the first print.
[[ $depends == *libqt6multimedia6* ]] || { echo "no audio dependency in $deb" >&2; exit 1; }
[[ $depends == *libqt6printsupport6* ]] || { echo "no printing dependency in $deb" >&2; exit 1; }
grep -q '\./usr/lib/qztimer/qztimer$' <<<"$contents"
grep -q '\./usr/lib/qztimer/qz_audio\.so$' <<<"$contents"
grep -q '\./usr/lib/qztimer/qz_print\.so$' <<<"$contents"
grep -q '\./usr/bin/qztimer -> \.\./lib/qztimer/qztimer$' <<<"$contents"
grep -q '\./usr/share/doc/qztimer/copyright$' <<<"$contents"
# The newest changelog entry names the version being packaged.
pkg_version=$(dpkg-deb -f "$deb" Version)
[[ $(zcat "$doc/changelog.gz" | head -1) == "qztimer ($pkg_version) "* ]] ||
    { echo "the changelog's newest entry is not for version $pkg_version" >&2; exit 1; }
# The modules beside the program are no public libraries: installing or removing the package
# has nothing to tell ldconfig.
dpkg-deb -e "$deb" "$stage/DEBIAN"
if grep -rl ldconfig "$stage/DEBIAN"; then
    echo "the package calls ldconfig" >&2
    exit 1
fi
echo "package: $(basename "$deb") (Depends: $depends)"

# Debian's own judgement of the package: errors fail, warnings and notes are shown. A binary
# without full RELRO or PIE fails too. (Calling no checked function proves nothing: the
# compiler checks memcpy and its kin only where it knows a buffer's size when compiling.)
lint=$(lintian --fail-on none --display-info "$deb")
[ -n "$lint" ] && echo "$lint"
if grep -q '^E: ' <<<"$lint"; then
    echo "lintian finds errors in $(basename "$deb")" >&2
    exit 1
fi
if grep -E ' hardening-no-(relro|bindnow|pie) ' <<<"$lint"; then
    echo "binaries in $(basename "$deb") lack the hardening flags" >&2
    exit 1
fi
