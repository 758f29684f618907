#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ (or $ZAN_BUILD_DIR) and runs each
# for a fixed number of inputs on its seed corpus ($ZAN_FUZZ_RUNS, default
# 5000; new inputs go to build-fuzz/fuzz/corpus/, emptied at the start of
# every run; the seeds in fuzz/corpus/ stay as they are). Installs clang and libFuzzer with apt-get if missing.
# A crash, a hang, a sanitizer report or a broken round trip fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZAN_BUILD_DIR:-$root/build-fuzz}"
"$root/scripts/install-deps.sh"

packages=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

launcher=()
if command -v ccache > /dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DZAN_BUILD_FUZZERS=ON -DZAN_SANITIZE=ON \
  -DZAN_BUILD_BENCH=OFF -DZAN_FUZZ_RUNS="${ZAN_FUZZ_RUNS:-5000}" > /dev/null
# Only the fuzz targets and what they link are built here.
mapfile -t targets < <(ninja -C "$build" -t targets all | sed -n 's/^\(fuzz_[a-z_]*\): phony$/\1/p' | sort -u)
ninja -C "$build" "${targets[@]}"
# The same fixed work every time: inputs found by earlier runs are dropped,
# the seed corpus in fuzz/corpus stays.
find "$build/fuzz/corpus" -mindepth 2 -type f -delete 2> /dev/null || true
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
ctest --test-dir "$build" -R '^fuzz_' --output-on-failure -j"$(nproc)" --timeout 600
