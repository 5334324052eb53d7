#!/usr/bin/env bash
# Runs the Windows serial test under Wine against radio simulators on pseudo-terminals: COM1 of
# the Wine prefix answers like a radio (with an image the test wrote), COM2 hangs up after five
# bytes of its first reply.  wine-com-test.sh TEST.exe RADIOSIM
set -euo pipefail
exe=$1
radiosim=$2
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix of this run}"
if [ ! -x "$radiosim" ]; then
  echo "wine-com-test: the radio simulator $radiosim is not built" >&2
  exit 1
fi
wine=${MV53_WINE:-wine}

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A simulator prints the pseudo-terminal to open as its first line.
first_line() {
  for _ in $(seq 200); do
    [ -s "$1" ] && break
    sleep 0.05
  done
  head -n1 "$1"
}

image="$work/radio.m53"
"$wine" "$exe" --write-image "Z:${image//\//\\}"
"$radiosim" --image "$image" >"$work/sim1.out" 2>&1 </dev/null &
pids+=($!)
"$radiosim" --hang-up 5 >"$work/sim2.out" 2>&1 </dev/null &
pids+=($!)
pty1=$(first_line "$work/sim1.out")
pty2=$(first_line "$work/sim2.out")
if [ -z "$pty1" ] || [ -z "$pty2" ]; then
  echo "wine-com-test: the radio simulator did not start" >&2
  exit 1
fi
ln -sfn "$pty1" "$WINEPREFIX/dosdevices/com1"
ln -sfn "$pty2" "$WINEPREFIX/dosdevices/com2"

MV53_WINE_COM=COM1 MV53_WINE_COM_DEVICE="$pty1" MV53_WINE_HANGUP_COM=COM2 \
  MV53_WINE_IMAGE="Z:${image//\//\\}" "$wine" "$exe"
