#!/usr/bin/env bash
# Runs the built zan on a copy of the demo kit, so that a session never
# changes the repository's files: dlconfig, the bars and SAVE write back the
# layer configuration file, the bar files and the drawing.
#
# The copy is ${XDG_DATA_HOME:-~/.local/share}/zan/samples/demo, made when it
# is missing and made again (the earlier copy kept as demo.previous) when the
# repository's kit is newer than it. zan runs in ${XDG_DATA_HOME:-...}/zan, so
# that samples/demo/... in arguments and scripts names the copy; other
# relative paths in arguments are taken from the directory this script was
# started in. With no drawing named (and no --new), zan opens the copy's
# demo.dxf. Arguments go to zan.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
zan="${ZAN_BUILD_DIR:-$root/build}/bin/zan"
work="${XDG_DATA_HOME:-$HOME/.local/share}/zan"
kit="$work/samples/demo"
stamp="$kit/.copied"

if [ ! -e "$stamp" ] || [ -n "$(find "$root/samples/demo" -newer "$stamp" -print -quit)" ]; then
  mkdir -p "$work/samples"
  fresh="$work/samples/.demo.$$"
  rm -rf "$fresh"
  mkdir "$fresh"
  cp -R "$root/samples/demo/." "$fresh/"
  touch "$fresh/.copied"
  if [ -e "$kit" ]; then
    rm -rf "$work/samples/demo.previous"
    mv "$kit" "$work/samples/demo.previous"
    echo "zan: the repository's demo kit is newer; the earlier copy is now $work/samples/demo.previous" >&2
  fi
  mv "$fresh" "$kit"
fi

# A path argument as zan, started in $work, must see it.
path_argument() {
  case "$1" in
    "" | - | /* | samples/demo | samples/demo/*) ;;
    *) set -- "$(realpath -ms -- "$PWD/$1")" ;;
  esac
  case "$1" in
    "$root/samples/demo") printf '%s' "$kit" ;;
    "$root/samples/demo/"*) printf '%s' "$kit/${1#"$root/samples/demo/"}" ;;
    *) printf '%s' "$1" ;;
  esac
}

args=()
drawing=no
while [ $# -gt 0 ]; do
  case "$1" in
    -s | --script | -o | --save-as | --profile-dir | --module | --plot | --screenshot | --configurations | --save-in)
      args+=("$1")
      shift
      if [ $# -gt 0 ]; then args+=("$(path_argument "$1")"); shift; fi
      ;;
    --layout | --size | --preview | --apply | --viewports)
      args+=("$1")
      shift
      if [ $# -gt 0 ]; then args+=("$1"); shift; fi
      ;;
    -n | --new) drawing=new; args+=("$1"); shift ;;
    -*) args+=("$1"); shift ;;
    *) drawing=yes; args+=("$(path_argument "$1")"); shift ;;
  esac
done
if [ "$drawing" = no ]; then args+=("$kit/demo.dxf"); fi

echo "zan: working on a copy of the demo kit in $kit (working directory $work)" >&2
cd "$work"
exec "$zan" "${args[@]}"
