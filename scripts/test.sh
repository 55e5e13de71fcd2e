#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs every test through CTest (headless).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
qz_install_packages
qz_build "$QZ_ROOT/build" -DBUILD_TESTING=ON
cd "$QZ_ROOT/build"
ctest --output-on-failure -j"$(nproc)"
# The installed tree and the Debian package: desktop entry, metainfo, icons, dependencies.
"$QZ_ROOT/scripts/check_package.sh" "$QZ_ROOT/build"
# Every C++ file reads the way .clang-format writes it; a drift fails the run.
bash "$QZ_ROOT/scripts/check-format.sh" --strict
