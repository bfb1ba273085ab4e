#!/usr/bin/env bash
# The elevation link through the real pkexec, polkitd and system bus:
#   pkexec_e2e.sh DRIVER HELPER WRITER WORKDIR [ACTION]
# With ACTION (an installed helper), polkitd must also know that action for
# HELPER's path, so pkexec asks under it rather than its generic one.
# Root only (pkexec authorises root at once); starts a system bus and
# polkitd when none runs, and stops what it started. Exit 77: skipped.
set -u
driver=$1 helper=$2 writer=$3 work=$4 action=${5:-}
skip() { echo "pkexec e2e: $1, skipped"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root"
polkitd=/usr/lib/polkit-1/polkitd
for tool in pkexec dbus-daemon dbus-send setpriv "$polkitd"; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool not installed"
done

started=()
dir=
cleanup() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null; done
  [ -n "$dir" ] && rm -rf "$dir"
}
trap cleanup EXIT

bus() { dbus-send --system --print-reply --dest=org.freedesktop.DBus / "$@" 2>/dev/null; }
if ! bus org.freedesktop.DBus.GetId >/dev/null; then
  mkdir -p /run/dbus
  rm -f /run/dbus/system_bus_socket  # left by a bus that no longer runs
  pid=$(dbus-daemon --system --fork --nopidfile --print-pid) || skip "the system bus does not start"
  started+=("$pid")
fi
polkit_up() { bus org.freedesktop.DBus.NameHasOwner string:org.freedesktop.PolicyKit1 | grep -q 'boolean true'; }
if ! polkit_up; then
  "$polkitd" --no-debug >/dev/null 2>&1 &
  started+=("$!")
  for _ in $(seq 100); do polkit_up && break; sleep 0.1; done
  polkit_up || skip "polkitd does not start"
fi

if [ -n "$action" ]; then
  if pkaction --action-id "$action" --verbose 2>/dev/null |
      grep -qx "  annotation: *org.freedesktop.policykit.exec.path -> $helper"; then
    echo "ok: polkit's action $action names $helper"
  else
    echo "FAIL: polkit's action $action does not name $helper"
    pkaction --action-id "$action" --verbose
    exit 1
  fi
fi

# Written by another user; below the build tree, which lies on real storage.
dir=$(mktemp -d "$work/e2e.XXXXXX")
chmod 1777 "$dir"
status=0
echo "== as root, without the capabilities of a privileged window =="
"$driver" "$helper" "$writer" "$dir" || status=1
echo "== as uid 65534, no authentication agent =="
setpriv --reuid=65534 --regid=65534 --clear-groups "$driver" "$helper" --refused || status=1
exit $status
