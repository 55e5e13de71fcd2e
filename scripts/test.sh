#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest (headless).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
qz_install_packages
qz_build "$QZ_ROOT/build" -DBUILD_TESTING=ON
cd "$QZ_ROOT/build"
ctest --output-on-failure -j"$(nproc)"
# The installed tree and the Debian package: desktop entry, metainfo, icons, dependencies.
"$QZ_ROOT/scripts/check_package.sh" "$QZ_ROOT/build"
# Reports files that drift from .clang-format; --strict makes a drift fail the run.
bash "$QZ_ROOT/scripts/check-format.sh"
