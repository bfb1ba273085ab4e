#!/usr/bin/env bash
# The window as a screen reader sees it: Xvfb, a session bus of the test's
# own, the accessibility bus (at-spi2-core), and Qt's bridge switched on.
# Starts and stops everything itself.
set -euo pipefail
app=$1
here=$(cd "$(dirname "$0")" && pwd)
export LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
py=/usr/bin/python3  # Debian's, which has the AT-SPI bindings
for tool in Xvfb xdpyinfo dbus-daemon /usr/libexec/at-spi-bus-launcher "$py"; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/deps.sh installs it)"; exit 77; }
done
"$py" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is missing"; exit 77; }
pids=()
work=$(mktemp -d)
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=/dev/null
source "$here/../xvfb.sh"
start_xvfb
dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 1200); do [ -s "$work/bus" ] && break; sleep 0.05; done
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
# Its own bus daemon and the registry end with it.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$app" >"$work/app.log" 2>&1 &
lw=$!
pids+=($lw)
status=0
timeout 60 "$py" "$here/accessible_tree.py" "$lw" 40 || status=1
kill "$lw"; wait "$lw" 2>/dev/null || true
if grep -q 'ERROR: AddressSanitizer\|runtime error:' "$work/app.log"; then status=1; fi
[ $status -eq 0 ] || cat "$work/app.log"
[ $status -eq 0 ] && echo "accessible ok"
exit $status
