#!/usr/bin/env bash
# Runs the privileged helper's request handling under libFuzzer for a bounded
# time (HELPER_FUZZ_SECONDS, default 30). Skips, with a message, without
# clang's libFuzzer.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${HELPER_FUZZ_SECONDS:-30}
if ! command -v clang++ >/dev/null 2>&1 ||
   ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
     clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
  echo "helper fuzz: clang++ with libFuzzer not found, skipped"
  exit 0
fi
build=build/fuzz
cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target helper_session_fuzz
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
i=0
while IFS= read -r seed; do
  printf '%b' "$seed" >"$corpus/seed$i"
  i=$((i + 1))
done <<'SEEDS'
io 1\nexe 4194304\nkill 42 1234\n
io 0\nio -1\nio 99999999999\nexe /etc/shadow\n
io 1\0\nkill 5\n
io 12
SEEDS
log="$corpus/fuzz.log"
if "$build/helper_session_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
     -print_final_stats=1 -artifact_prefix="$build/" "$corpus" >"$log" 2>&1; then
  grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))' "$log"
else
  tail -n 60 "$log"
  echo "helper fuzz: failed; the input that failed is in $build/"
  exit 1
fi
