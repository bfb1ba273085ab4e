#!/usr/bin/env bash
# A screenshot of the window among this machine's processes, under its own
# Xvfb: a spinner the script starts burns the processor for 3 s and then
# idles, and the picture is taken AGE seconds later, when its row should
# read "Processor (AGE seconds ago)" in the grey 10 x AGE + 30.
# Usage: bench/window_screenshot.sh LOADWATCH SPINNER OUT.png [AGE]
# A low screen: XVFB_SCREEN=1280x720x24; with QT_SCALE_FACTOR=1.5 on
# XVFB_SCREEN=1920x1080x24 the window is drawn at 150 %.
set -euo pipefail
app=${1:?path to loadwatch}
spin=${2:?path to lw-test-spin}
out=${3:?where the picture goes}
age=${4:-5}
pids=()
cleanup() {
  ((${#pids[@]})) && kill "${pids[@]}" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT
# shellcheck source=/dev/null
source "$(dirname "$0")/../tests/xvfb.sh"
start_xvfb
"$app" >/dev/null 2>&1 &
pids+=($!)
win=$(xdotool search --sync --onlyvisible --pid "$!" --name '^Loadwatch' | head -n 1)
"$spin" 3 120 &
pids+=($!)
sleep $((3 + age))
import -silent -window "$win" "$out"
echo "spinner $! idle for about $age s: expect grey $((10 * age + 30)); picture in $out"
