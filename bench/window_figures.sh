#!/usr/bin/env bash
# Figures of the window on this machine, under its own Xvfb:
#   start-up: from starting the program to its window mapped and painted
#   processor use of the idle window over SECONDS, and its resident memory
#   then, once with the machine's processes and once with IDLE extra
#   sleeping processes.
# Usage: bench/window_figures.sh LOADWATCH [SECONDS [IDLE]]
set -euo pipefail
app=${1:?path to loadwatch}
seconds=${2:-60}
idle=${3:-1000}
pids=()
cleanup() {
  ((${#pids[@]})) && kill "${pids[@]}" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT

# shellcheck source=/dev/null
source "$(dirname "$0")/../tests/xvfb.sh"
start_xvfb
ticks=$(getconf CLK_TCK)

cpu_ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
rss_mb() { awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }

# Mapped: the first visible window of the process; painted: that window
# shows more than its background colour.
start_window() {
  local t0 win=""
  t0=$(date +%s%N)
  "$app" >/dev/null 2>&1 &
  lw=$!
  pids+=($lw)
  until win=$(xdotool search --onlyvisible --pid "$lw" --name '^Loadwatch' 2>/dev/null | head -n 1) && [ -n "$win" ]; do
    sleep 0.002
  done
  mapped=$(( ($(date +%s%N) - t0) / 1000000 ))
  # A capture takes a while: the paint happened before the successful
  # capture began, give or take that capture's own time.
  local before
  while :; do
    before=$(date +%s%N)
    [ "$(import -silent -window "$win" -colors 8 -format '%k' info:- 2>/dev/null)" -gt 2 ] 2>/dev/null && break
  done
  painted=$(( (before - t0) / 1000000 ))
}

measure() {  # label
  start_window
  sleep 2
  local a b
  a=$(cpu_ticks "$lw")
  sleep "$seconds"
  b=$(cpu_ticks "$lw")
  local procs
  # A process may end while it is counted.
  procs=$( (ls -d /proc/[0-9]* 2>/dev/null || true) | wc -l)
  awk -v l="$1" -v p="$procs" -v m="$mapped" -v q="$painted" -v c="$((b - a))" -v t="$ticks" -v s="$seconds" \
    -v r="$(rss_mb "$lw")" 'BEGIN {
      printf "%s (%d processes): start-up %d ms to mapped, painted by %d ms; processor %.2f %% of one core over %d s; resident %s MB\n",
        l, p, m, q, 100 * c / t / s, s, r }'
  kill "$lw"
  wait "$lw" 2>/dev/null || true
}

measure "machine"
sleepers=()
for ((i = 0; i < idle; i++)); do sleep 100000 & sleepers+=($!); done
pids+=("${sleepers[@]}")
measure "+$idle sleeping"
