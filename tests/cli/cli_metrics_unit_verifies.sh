#!/usr/bin/env bash
# The metrics service unit passes systemd's own check, with its program
# pointed at the built one, and keeps the privileges it needs and no more.
set -u
unit_in=$1 cli=$2
command -v systemd-analyze >/dev/null || { echo "skipped: no systemd-analyze"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
unit=$dir/loadwatch-metrics.service
sed "s|@CLI_EXECUTABLE@|$cli|" "$unit_in" >"$unit"
out=$(systemd-analyze verify "$unit" 2>&1) || { echo "$out"; exit 1; }
[ -z "$out" ] || { echo "$out"; exit 1; }
for line in "DynamicUser=yes" "AmbientCapabilities=CAP_SYS_PTRACE CAP_DAC_READ_SEARCH" \
            "CapabilityBoundingSet=CAP_SYS_PTRACE CAP_DAC_READ_SEARCH" "NoNewPrivileges=yes"; do
  grep -qx "$line" "$unit" || { echo "missing: $line"; exit 1; }
done
if grep -qE '^(User=root|ProtectProc=invisible)' "$unit"; then echo "runs as root or hides processes"; exit 1; fi
echo ok
