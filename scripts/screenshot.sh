#!/usr/bin/env bash
# Takes a picture of the main window under a virtual X server: docs/mainwindow.png.
#   scripts/screenshot.sh [build folder] [output file]
# Needs xvfb (xvfb-run) and imagemagick (import, convert).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
out="${2:-docs/mainwindow.png}"
program="$build/src/app/MV53Win"
[ -x "$program" ] || { echo "screenshot.sh: build MV53Win first ($program)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$work/data"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  cd "$1/data"
  "$2" &
  pid=$!
  sleep 3
  import -window root "$1/root.png"
  kill "$pid"
' _ "$work" "$program"
# No window manager: the window sits on a black desktop; cut it out.
convert "$work/root.png" -trim +repage "$out"
echo "wrote $out"
