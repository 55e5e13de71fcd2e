#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and starts the program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
qz_install_packages
qz_build "$QZ_ROOT/build" -DBUILD_TESTING=OFF
exec "$QZ_ROOT/build/bin/qztimer" "$@"
