#!/usr/bin/env bash
# fuzz/long.sh [SECONDS]: runs every fuzz target for SECONDS (default 600) on its corpus under
# fuzz/corpus/, which keeps the inputs that reached new code; commit what it adds.
set -euo pipefail
cd "$(dirname "$0")/.."
source fuzz/common.sh
fuzz_build_targets
for target in "${fuzz_targets[@]}"; do
  fuzz_run "$target" "fuzz/corpus/$target" "${1:-600}" 2>&1 | tee "$fuzz_build/$target-long.log" | grep -E '^(stat::|==|SUMMARY|#[0-9]+ *DONE)' || true
done
