#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once in an
# optimised build, once under AddressSanitizer and UndefinedBehaviorSanitizer;
# warnings are errors in both.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOADWATCH_WERROR=ON >/dev/null
cmake --build build/test
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLOADWATCH_WERROR=ON -DLOADWATCH_SANITIZE=ON \
  -DLOADWATCH_BUILD_BENCH=OFF >/dev/null
cmake --build build/asan

status=0
echo "== tests (sanitizers) =="
(cd build/asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j"$jobs") || status=1
for extra in scripts/test.d/*.sh; do
  [ -e "$extra" ] || continue
  echo "== $(basename "$extra") =="
  bash "$extra" || status=1
done
echo "== tests =="
(cd build/test && ctest --output-on-failure -j"$jobs") || status=1
exit $status
