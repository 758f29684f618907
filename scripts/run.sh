#!/usr/bin/env bash
# Installs what is missing, builds ZAN and starts zan on a copy of the demo
# kit (see scripts/demo.sh): the repository's files are never changed.
# Arguments go to zan (for example a drawing, or --script FILE).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "$root/scripts/demo.sh" "$@"
