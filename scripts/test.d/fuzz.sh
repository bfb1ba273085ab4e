#!/usr/bin/env bash
# Runs the version-resource fuzz target for a bounded time (FUZZ_SECONDS,
# default 60). Needs clang with libFuzzer; skips with a message otherwise.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-60}
. scripts/libfuzzer.sh
fuzzer_available fuzz || exit 0
build=build/fuzz
cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$build/version_resource_seeds" "$corpus"
run_fuzzer fuzz version_resource_fuzz "$seconds" 65536 "$corpus"
