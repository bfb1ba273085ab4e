#!/usr/bin/env bash
# Installs what is missing, builds, and runs Loadwatch: the window where a
# display exists, the console view otherwise. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DLOADWATCH_BUILD_TESTS=OFF -DLOADWATCH_BUILD_BENCH=OFF >/dev/null
cmake --build build/release
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/release/app/loadwatch ]; then
  exec build/release/app/loadwatch "$@"
fi
exec build/release/cli/loadwatch-cli "$@"
