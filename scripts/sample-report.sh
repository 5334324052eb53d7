#!/usr/bin/env bash
# The printed report of the demo radio's data as a PDF, and a picture of its print preview.
#   scripts/sample-report.sh [build folder] [output folder]
# The demo radio's memory is ~/.local/share/MV53/demo-radio.m53 (or $MV53_DATA_DIR) once
# ./run --demo has run; otherwise the simulator's memory of a radio fresh from the factory.
# Writes OUT/sample-report.pdf and OUT/preview.png (default OUT: docs).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
out="${2:-docs}"
for exe in cli/mv53 tools/radiosim/radiosim tools/printshot/printshot; do
  [ -x "$build/$exe" ] || { echo "sample-report.sh: build $exe first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

data="${MV53_DATA_DIR:-$HOME/.local/share/MV53}/demo-radio.m53"
if [ ! -f "$data" ]; then
  # The simulator writes its memory when it ends.
  data="$work/demo-radio.m53"
  "$build/tools/radiosim/radiosim" --save "$data" > "$work/device" &
  pid=$!
  for _ in $(seq 50); do [ -s "$work/device" ] && break; sleep 0.1; done
  kill "$pid"
  wait "$pid" || true
fi
cp "$data" "$work/demo.m53"
mkdir -p "$out"
"$build/cli/mv53" report "$work/demo.m53" --pdf "$out/sample-report.pdf"
"$build/tools/printshot/printshot" "$work/demo.m53" "$out/preview.png" --two-page
echo "wrote $out/sample-report.pdf and $out/preview.png"
