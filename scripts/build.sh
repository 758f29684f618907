#!/usr/bin/env bash
# Configures and builds ZAN into build/ (or $ZAN_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZAN_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${ZAN_BUILD_TYPE:-RelWithDebInfo}" "$@" > /dev/null
ninja -C "$build"
