#!/usr/bin/env bash
# Builds ZAN with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (or $ZAN_BUILD_DIR) and runs every test there. Benchmarks are
# left out of this build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export ZAN_BUILD_DIR="${ZAN_BUILD_DIR:-$root/build-asan}"
"$root/scripts/install-deps.sh"
# The desktop window is left out here: its tests run in the normal build.
"$root/scripts/build.sh" -DZAN_SANITIZE=ON -DZAN_BUILD_BENCH=OFF -DZAN_BUILD_DESKTOP=OFF
# Any finding fails the test that made it.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
# Allocations that system libraries keep until the process ends are not ours to free.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
cd "$ZAN_BUILD_DIR"
ctest --output-on-failure -j"$(nproc)" --timeout 600
