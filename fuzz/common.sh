# Shared by smoke.sh and long.sh: builds the fuzz targets in a clang build of their own and runs
# one target on a corpus folder. Sourced, not run.
fuzz_targets=(fuzz_image fuzz_firmware fuzz_csv fuzz_json fuzz_config fuzz_trace fuzz_clone)
fuzz_build=build-fuzz

# The largest input each target is given.
declare -A fuzz_max_len=([fuzz_image]=20000 [fuzz_firmware]=4096 [fuzz_csv]=8192 [fuzz_json]=200000 [fuzz_config]=4096
  [fuzz_trace]=8192 [fuzz_clone]=4096)

fuzz_build_targets() {
  if ! command -v clang++ >/dev/null 2>&1; then
    echo "$0: clang++ not found, fuzzing skipped"
    exit 0
  fi
  cmake -S . -B "$fuzz_build" -DMV53_BUILD_GUI=OFF -DMV53_BUILD_BENCH=OFF -DMV53_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" >/dev/null
  cmake --build "$fuzz_build" --target "${fuzz_targets[@]}" -j2
}

# fuzz_run TARGET CORPUS SECONDS: runs TARGET for SECONDS on CORPUS (new inputs are added to it).
fuzz_run() {
  local target=$1 corpus=$2 seconds=$3
  mkdir -p "$corpus"
  "$fuzz_build/fuzz/$target" -artifact_prefix="$fuzz_build/$target-" -max_total_time="$seconds" \
    -max_len="${fuzz_max_len[$target]}" -print_final_stats=1 "$corpus"
}
