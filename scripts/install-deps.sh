#!/usr/bin/env bash
# Installs what building and testing ZAN needs on Debian 12, if missing.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev
          python3 python3-ezdxf binutils)
packages+=(qt6-base-dev qt6-svg-dev poppler-utils xvfb fonts-dejavu-core)  # renderer, plots and their checks
packages+=(librecad-data)  # drawings made by other programs, for the sweep test of foreign drawings
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
