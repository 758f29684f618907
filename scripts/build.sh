#!/usr/bin/env bash
# Configures and builds ZAN into build/ (or $ZAN_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZAN_BUILD_DIR:-$root/build}"
launcher=()
# A compiler cache, where one is installed, makes rebuilds of unchanged sources cheap.
if command -v ccache > /dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${ZAN_BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" "$@" > /dev/null
ninja -C "$build"
