#!/usr/bin/env bash
# Draws the Key Function, Selcall and System dialogs, the Alignment window, the compare window and
# the main window editing channels into docs/keyfunc.png, docs/selcall.png, docs/system.png,
# docs/alignment.png, docs/compare.png and docs/grid-edit.png (the guide and the README show them).
#   scripts/dialog-screenshots.sh [build folder]
# Runs on Qt's offscreen platform: no X server needed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
program="$build/tools/dialogshot/dialogshot"
[ -x "$program" ] || { echo "dialog-screenshots.sh: build dialogshot first ($program)" >&2; exit 1; }

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/mv53-runtime-$(id -u)}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
for dialog in keyfunc selcall system alignment compare; do
  "$program" "$dialog" "docs/$dialog.png"
  echo "wrote docs/$dialog.png"
done
"$program" gridedit docs/grid-edit.png
echo "wrote docs/grid-edit.png"
