#!/usr/bin/env bash
# A console view given CAP_SYS_PTRACE and CAP_DAC_READ_SEARCH as file
# capabilities, run by an unprivileged user, sees the disk activity of
# another user's process; the same binary without them does not.
# Needs root to set the capabilities and to switch users.
set -u
cli=$1 write=$2
[ "$(id -u)" -eq 0 ] || { echo "skipped: needs root"; exit 77; }
command -v setcap >/dev/null || { echo "skipped: no setcap"; exit 77; }
dir=$(mktemp -d)
chmod 755 "$dir"
writer=$dir/lw-cap-writer
cp "$write" "$writer"
cp "$cli" "$dir/with-caps"
cp "$cli" "$dir/without-caps"
setcap cap_sys_ptrace,cap_dac_read_search+p "$dir/with-caps" || { echo "skipped: setcap refused"; rm -rf "$dir"; exit 77; }
# Root's writer waits until both views have their baselines, then writes.
"$writer" "$dir/data" 32 3 &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -rf "$dir"' EXIT
as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
as_nobody "$dir/with-caps" --count 7 >"$dir/with.out" &
a=$!
as_nobody "$dir/without-caps" --count 7 >"$dir/without.out"
wait $a
status=0
grep -qE '^lw-cap-writer +.*Hard disk' "$dir/with.out" || { echo "with capabilities: writer not listed with Hard disk"; status=1; }
if grep -qE '^lw-cap-writer +.*Hard disk' "$dir/without.out"; then echo "without capabilities: writer's disk seen"; status=1; fi
[ $status -eq 0 ] || { echo "--- with"; tail -20 "$dir/with.out"; echo "--- without"; tail -20 "$dir/without.out"; exit 1; }
echo ok
