#!/usr/bin/env bash
# The elevation link through the real pkexec, polkitd and system bus:
#   pkexec_e2e.sh DRIVER HELPER WRITER WORKDIR [ACTION]
# WORKDIR is the first folder tried for the copies uid 65534 runs and writes.
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
  # A loaded machine may take long to start it; only a hang meets this limit.
  for _ in $(seq 600); do polkit_up && break; sleep 0.1; done
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

# The writer and the refused run act as uid 65534, which must reach their
# programs and the writer's folder; a checkout under a folder only its owner
# may enter lets it reach neither, so both programs run from copies in a
# folder every user may enter. The folder lies on storage that counts writes
# (tmpfs counts none) and lets programs run. A helper uid 65534 can reach,
# such as an installed one, runs where it is.
as_other() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
for base in "$work" /var/tmp /tmp; do
  case $(stat -f -c %T "$base" 2>/dev/null) in ''|tmpfs|ramfs) continue ;; esac
  dir=$(mktemp -d "$base/lw-e2e.XXXXXX") || { dir=; continue; }
  chmod 0755 "$dir"
  cp "$driver" "$dir/lw-test-elevation" && cp "$writer" "$dir/lw-test-write" &&
    mkdir -m 1777 "$dir/written" &&
    as_other test -x "$dir/lw-test-elevation" -a -x "$dir/lw-test-write" -a -w "$dir/written" && break
  rm -rf "$dir"
  dir=
done
[ -n "$dir" ] || skip "no folder on real storage here lets uid 65534 run programs and write"
driver=$dir/lw-test-elevation writer=$dir/lw-test-write
if ! as_other test -x "$helper"; then
  cp "$helper" "$dir/loadwatch-helper"
  helper=$dir/loadwatch-helper
fi
echo "programs and the writer's folder in $dir"

status=0
echo "== as root, without the capabilities of a privileged window =="
"$driver" "$helper" "$writer" "$dir/written" || status=1
echo "== as uid 65534, no authentication agent =="
as_other "$driver" "$helper" --refused || status=1
exit $status
