#!/usr/bin/env bash
# Runs the version-resource fuzz target for a bounded time (FUZZ_SECONDS,
# default 60). Needs clang with libFuzzer; skips with a message otherwise.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-60}
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ not found, skipped"
  exit 0
fi
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
     clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
  echo "fuzz: clang++ has no libFuzzer runtime (libclang-rt-dev), skipped"
  exit 0
fi
build=build/fuzz
cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$build/version_resource_seeds" "$corpus"
log="$corpus/fuzz.log"
if "$build/version_resource_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
     -print_final_stats=1 -artifact_prefix="$build/" "$corpus" >"$log" 2>&1; then
  grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))' "$log"
else
  tail -n 60 "$log"
  echo "fuzz: failed; the input that failed is in $build/"
  exit 1
fi
