#!/usr/bin/env bash
# A short run of the fuzz targets in a clang build of their own; skipped without clang.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz/smoke.sh: clang++ not found, fuzz smoke run skipped"
  exit 0
fi
build=build-fuzz
cmake -S . -B "$build" -DMV53_BUILD_GUI=OFF -DMV53_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" >/dev/null
cmake --build "$build" --target fuzz_image fuzz_firmware -j2
corpus="$build/fuzz-corpus"
mkdir -p "$corpus"
"$build/fuzz/fuzz_image" -artifact_prefix="$build/" -max_total_time="${MV53_FUZZ_SECONDS:-20}" -max_len=20000 -print_final_stats=1 "$corpus"
# The firmware reader starts from a few small S-record files of its own.
corpus="$build/fuzz-corpus-firmware"
mkdir -p "$corpus"
printf 'Header\r\nS0030000FC\r\nS1130000000102030405060708090A0B0C0D0E0F74\r\nS9030000FC\r\n' > "$corpus/seed-s1"
printf 'S00600004844521B\nS208010000112233444C\nS5030001FB\n' > "$corpus/seed-s2"
"$build/fuzz/fuzz_firmware" -artifact_prefix="$build/firmware-" -max_total_time="${MV53_FUZZ_SECONDS:-20}" -max_len=4096 -print_final_stats=1 "$corpus"
