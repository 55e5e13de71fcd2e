#!/usr/bin/env bash
# Start-up of the program against a bare Qt clock, seen from outside: process start to the
# launcher window mapped, and peak memory. Usage: bench/startup.sh [runs]   (default 15)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
qz_install_packages
qz_build "$QZ_ROOT/build" >/dev/null
cmake --build "$QZ_ROOT/build" --target qz_bench_startup qz_bench_bare_clock -j"$(nproc)" >/dev/null
runs=${1:-15}
xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$QZ_ROOT/build/bench/qz_bench_startup" "$runs" "$QZ_ROOT/build/bin/qztimer" \
    "$QZ_ROOT/build/bench/qz_bench_bare_clock"
