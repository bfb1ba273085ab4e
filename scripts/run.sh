#!/usr/bin/env bash
# Installs what is missing, builds, and runs Loadwatch: the window where a
# display exists, the console view otherwise. Arguments go to the program.
# The knowledge-base server starts beside it on 127.0.0.1:8642 when nothing
# listens there yet (and no other server is named by LOADWATCH_KB_URL), and
# stops when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DLOADWATCH_BUILD_TESTS=OFF -DLOADWATCH_BUILD_BENCH=OFF >/dev/null
cmake --build build/release

# The window runs as the user at the desktop, never as root: under sudo it
# goes back to the user who called sudo; a root login gets the console view.
program=build/release/cli/loadwatch-cli
as_user=()
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/release/app/loadwatch ]; then
  if [ "$(id -u)" -ne 0 ]; then
    program=build/release/app/loadwatch
  elif [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    program=build/release/app/loadwatch
    as_user=(runuser -u "$SUDO_USER" --)
  else
    echo "run.sh: the window does not run as root; start run.sh as your own user." \
      "Showing the console view." >&2
  fi
fi

kb=
if [ -z "${LOADWATCH_KB_URL:-}" ] && ! (exec 3<>/dev/tcp/127.0.0.1/8642) 2>/dev/null; then
  "${as_user[@]}" build/release/kb/loadwatch-kb --listen 127.0.0.1:8642 >/dev/null &
  kb=$!
  trap 'kill "$kb" 2>/dev/null; wait "$kb" 2>/dev/null' EXIT
  # The first question must not beat the server to its port.
  for _ in $(seq 50); do (exec 3<>/dev/tcp/127.0.0.1/8642) 2>/dev/null && break; sleep 0.1; done
fi
[ -n "$kb" ] || exec "${as_user[@]}" "$program" "$@"
status=0
"${as_user[@]}" "$program" "$@" || status=$?
exit $status
