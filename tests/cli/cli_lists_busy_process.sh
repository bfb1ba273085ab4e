#!/usr/bin/env bash
# loadwatch-cli --count 5 prints five refreshes of the real list, and a
# process started beside it that burns the processor shows up in it.
set -u
cli=$1 spin=$2
"$spin" 15 &
spinner=$!
trap 'kill $spinner 2>/dev/null; wait $spinner 2>/dev/null' EXIT
out=$("$cli" --count 5)
status=$?
echo "$out"
[ $status -eq 0 ] || { echo "exit status $status"; exit 1; }
blocks=$(grep -c '^Program  *Activity$' <<<"$out")
[ "$blocks" -eq 5 ] || { echo "expected 5 refreshes, got $blocks"; exit 1; }
grep -qE '^lw-test-spin +.*Processor' <<<"$out" || { echo "spinner not listed"; exit 1; }
if grep -q $'\x1b' <<<"$out"; then echo "escape codes in piped output"; exit 1; fi
echo "ok"
