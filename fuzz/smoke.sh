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
cmake --build "$build" --target fuzz_image -j2
corpus="$build/fuzz-corpus"
mkdir -p "$corpus"
"$build/fuzz/fuzz_image" -artifact_prefix="$build/" -max_total_time="${MV53_FUZZ_SECONDS:-20}" -max_len=20000 -print_final_stats=1 "$corpus"
