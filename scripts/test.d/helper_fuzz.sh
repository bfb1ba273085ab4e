#!/usr/bin/env bash
# Runs the privileged helper's request handling under libFuzzer for a bounded
# time (HELPER_FUZZ_SECONDS, default 30). Skips, with a message, without
# clang's libFuzzer.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${HELPER_FUZZ_SECONDS:-30}
. scripts/libfuzzer.sh
fuzzer_available "helper fuzz" || exit 0
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
run_fuzzer "helper fuzz" helper_session_fuzz "$seconds" 4096 "$corpus"
