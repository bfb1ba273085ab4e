#!/usr/bin/env bash
# Installs what is missing, builds, and runs Loadwatch: the window where a
# display exists, the console view otherwise. Arguments go to the program.
# The knowledge-base server starts beside it on the user's own socket
# (RUNTIME/loadwatch/kb.sock) unless one answers there already or
# LOADWATCH_KB_URL names another server, and stops when the program ends.
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

# The user's runtime folder: the session's, else a private one for this run
# (mode 0700, removed at the end), so that the socket is the user's alone.
runtime=${XDG_RUNTIME_DIR:-}
[ ${#as_user[@]} -gt 0 ] && runtime=/run/user/$(id -u "$SUDO_USER")
made_runtime=
if [ ! -d "$runtime" ]; then
  runtime=$("${as_user[@]}" mktemp -d "${TMPDIR:-/tmp}/loadwatch-runtime.XXXXXX")
  made_runtime=$runtime
fi
run_env=(env XDG_RUNTIME_DIR="$runtime")

kb=
work=$(mktemp -d)
cleanup() {
  [ -n "$kb" ] && kill "$kb" 2>/dev/null && wait "$kb" 2>/dev/null
  rm -rf "$work"
  [ -n "$made_runtime" ] && rm -rf "$made_runtime"
}
trap cleanup EXIT
if [ -z "${LOADWATCH_KB_URL:-}" ]; then
  "${as_user[@]}" "${run_env[@]}" build/release/kb/loadwatch-kb >"$work/kb.out" 2>&1 &
  kb=$!
  # The first question must not beat the server to its socket. One that
  # answers there already (systemd's socket unit) is as good.
  for _ in $(seq 100); do
    grep -q 'listening on' "$work/kb.out" && break
    if ! kill -0 "$kb" 2>/dev/null; then
      kb=
      grep -q 'another server answers' "$work/kb.out" || cat "$work/kb.out" >&2
      break
    fi
    sleep 0.1
  done
fi
status=0
"${as_user[@]}" "${run_env[@]}" "$program" "$@" || status=$?
exit $status
