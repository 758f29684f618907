#!/usr/bin/env bash
# Installs what is missing, builds ZAN and starts zan on the demo drawing.
# Arguments go to zan (for example a drawing, or --script FILE).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root"  # the demo kit names its files relative to the repository
exec "${ZAN_BUILD_DIR:-$root/build}/bin/zan" "$@"
