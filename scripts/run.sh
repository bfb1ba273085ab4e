#!/usr/bin/env bash
# Installs what is missing, builds, and runs Loadwatch: the window where a
# display exists, the console view otherwise. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DLOADWATCH_BUILD_TESTS=OFF -DLOADWATCH_BUILD_BENCH=OFF >/dev/null
cmake --build build/release
# The window runs as the user at the desktop, never as root: under sudo it
# goes back to the user who called sudo; a root login gets the console view.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/release/app/loadwatch ]; then
  if [ "$(id -u)" -ne 0 ]; then exec build/release/app/loadwatch "$@"; fi
  if [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    exec runuser -u "$SUDO_USER" -- build/release/app/loadwatch "$@"
  fi
  echo "run.sh: the window does not run as root; start run.sh as your own user." \
    "Showing the console view." >&2
fi
exec build/release/cli/loadwatch-cli "$@"
