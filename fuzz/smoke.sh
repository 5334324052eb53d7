#!/usr/bin/env bash
# A short run of every fuzz target on a copy of its kept corpus; skipped without clang.
set -euo pipefail
cd "$(dirname "$0")/.."
source fuzz/common.sh
fuzz_build_targets
for target in "${fuzz_targets[@]}"; do
  corpus="$fuzz_build/corpus-$target"
  rm -rf "$corpus"
  cp -r "fuzz/corpus/$target" "$corpus"
  fuzz_run "$target" "$corpus" "${MV53_FUZZ_SECONDS:-20}"
done
