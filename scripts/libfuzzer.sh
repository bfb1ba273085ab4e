# Shared by the fuzz runs in test.d/: sourced, not run.

# Whether clang++ can build a libFuzzer target; says why not, as `label`.
fuzzer_available() {
  local label=$1
  if ! command -v clang++ >/dev/null 2>&1 ||
     ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
       clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2>/dev/null; then
    echo "$label: clang++ with libFuzzer (libclang-rt-dev) not found, skipped"
    return 1
  fi
}

# Runs build/fuzz/TARGET on CORPUS for SECONDS with inputs up to MAX_LEN
# bytes; prints libFuzzer's figures, or the end of its log and fails.
run_fuzzer() {
  local label=$1 target=$2 seconds=$3 max_len=$4 corpus=$5
  local log="$corpus/fuzz.log"
  if build/fuzz/"$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
       -print_final_stats=1 -artifact_prefix=build/fuzz/ "$corpus" >"$log" 2>&1; then
    grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))' "$log"
  else
    tail -n 60 "$log"
    echo "$label: failed; the input that failed is in build/fuzz/"
    return 1
  fi
}
