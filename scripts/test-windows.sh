#!/usr/bin/env bash
# The Windows step: cross-builds the layers without Qt (model, state, serial device, port list,
# single-instance mutex) with mingw-w64 and runs their tests under Wine in a Wine prefix of its
# own, made for this run in a temporary folder. The serial test talks to the radio simulator
# (a Linux program) through a Wine COM port. Called by ./test --windows [ctest arguments...].
# When Wine cannot run here the step fails: it never passes without having run the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)

for tool in x86_64-w64-mingw32-g++-posix wine wineboot wineserver; do
  if ! command -v "$tool" >/dev/null; then
    echo "test --windows: $tool is missing, the Windows step cannot run" >&2
    exit 1
  fi
done

# The simulator runs on this side of the Wine COM port, built in the Linux build folder.
cmake -S . -B build -DMV53_WERROR=ON >/dev/null
cmake --build build -j "$(nproc)" --target radiosim
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DMV53_WERROR=ON \
  -DMV53_RADIOSIM="$PWD/build/tools/radiosim/radiosim" >/dev/null
cmake --build build-win -j "$(nproc)"
built=$(date +%s)

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/mv53-wine.XXXXXX")
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers, no windows: the tests are console programs.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$WINEPREFIX.wineserver.log"
}
trap cleanup EXIT

# One Wine server for the whole run: each test program then starts in a fraction of a second.
wineserver -p 2>"$WINEPREFIX.wineserver.log"
if ! timeout 300 wineboot --init >"$WINEPREFIX/wineboot.log" 2>&1; then
  cat "$WINEPREFIX/wineboot.log" >&2
  echo "test --windows: Wine could not set up its prefix; the Windows tests did not run" >&2
  exit 1
fi
booted=$(date +%s)

ctest --test-dir build-win --output-on-failure --no-tests=error -j "$(nproc)" "$@"
done_at=$(date +%s)
echo "Windows step: build $((built - start)) s, Wine prefix $((booted - built)) s, tests $((done_at - booted)) s"
