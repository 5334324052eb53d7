#!/usr/bin/env bash
# Starts MV53 from a build folder:  start-mv53.sh <build folder> [--demo] [program arguments...]
#
# The program runs in the user's MV53 data folder, where it keeps its default data file.
# --demo starts the radio simulator on a pseudo-terminal and binds COM1 to it for this run
# only (MV53_PORTS; the configuration file is not changed). The simulated radio keeps its
# memory between demo runs in the data folder; it is stopped when MV53 ends.
set -euo pipefail

build=$(cd "${1:?usage: start-mv53.sh <build folder> [--demo] [arguments...]}" && pwd)
shift
program="$build/src/app/MV53Win"
simulator="$build/tools/radiosim/radiosim"

demo=0
args=()
for arg in "$@"; do
  if [ "$arg" = "--demo" ]; then demo=1; else args+=("$arg"); fi
done

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/mv53-runtime-$(id -u)}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
data="${MV53_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/MV53}"
mkdir -p "$data"
cd "$data"

if [ "$demo" -eq 0 ]; then
  exec "$program" ${args[@]+"${args[@]}"}
fi

[ -x "$simulator" ] || { echo "start-mv53.sh: no radio simulator at $simulator" >&2; exit 1; }
memory="$data/demo-radio.m53"
simargs=(--pace --save "$memory")
[ -f "$memory" ] && simargs+=(--image "$memory")
simout=$(mktemp)
"$simulator" "${simargs[@]}" >"$simout" 2>&1 &
simpid=$!
stop_simulator() {
  kill -TERM "$simpid" 2>/dev/null || true
  wait "$simpid" 2>/dev/null || true
  rm -f "$simout"
}
trap stop_simulator EXIT

device=""
for _ in $(seq 50); do
  device=$(head -n 1 "$simout" 2>/dev/null || true)
  [ -n "$device" ] && break
  kill -0 "$simpid" 2>/dev/null || break
  sleep 0.1
done
case "$device" in
  /dev/*) ;;
  *) echo "start-mv53.sh: the radio simulator did not start: $(cat "$simout")" >&2; exit 1 ;;
esac
echo "Demo radio on $device (COM1)"
MV53_PORTS="COM1=$device" "$program" ${args[@]+"${args[@]}"}
