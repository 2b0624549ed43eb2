#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers) in build-fuzz and runs each for the given seconds (default 60).
# Inputs that crash are left as crash-* files in build-fuzz/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build="${LANJIAN_FUZZ_BUILD_DIR:-build-fuzz}"
targets=(fuzz_statements fuzz_searchtext fuzz_settings fuzz_jetreader)
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"
mkdir -p "$build/fuzz/findings"
failed=0
for target in "${targets[@]}"; do
  echo "== $target, $seconds s"
  seeds=fuzz/corpus/$target
  [ "$target" = fuzz_jetreader ] && seeds="$build/fuzz/seeds/$target"
  QT_QPA_PLATFORM=offscreen "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/fuzz/findings/$target-" "$build/fuzz/corpus/$target" "$seeds" \
    2>&1 | grep -E "^#[0-9]+ *DONE|stat::number_of_executed_units|ERROR|SUMMARY|artifact" || true
  ls "$build/fuzz/findings/$target-"* >/dev/null 2>&1 && failed=1
done
exit $failed
