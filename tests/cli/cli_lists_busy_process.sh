#!/usr/bin/env bash
# loadwatch-cli --count N prints N refreshes of the real list, and a process
# started beside it that burns the processor shows up in it.
set -u
cli=$1 spin=$2
dir=$(mktemp -d)
# A name of its own, so that spinners of tests running beside this one are
# not taken for it. It stays busy until the test has seen it, with four
# threads, so that it gets its tenth of a second each second even on a
# machine whose processors other programs keep busy.
name=lw-busy-$$
cp "$spin" "$dir/$name"
"$dir/$name" 600 0 4 &
spinner=$!
trap 'kill $spinner 2>/dev/null; wait $spinner 2>/dev/null; rm -rf "$dir"' EXIT
out=$("$cli" --count 3)
status=$?
echo "$out"
[ $status -eq 0 ] || { echo "exit status $status"; exit 1; }
blocks=$(grep -c '^Program  *Activity$' <<<"$out")
[ "$blocks" -eq 3 ] || { echo "expected 3 refreshes, got $blocks"; exit 1; }
if grep -q $'\x1b' <<<"$out"; then echo "escape codes in piped output"; exit 1; fi
# The list is read until the spinner is in it; the count only ends a run
# that never shows it (grep leaving ends the view at its next refresh).
"$cli" --count 120 | grep -m1 -E "^$name +.*Processor" ||
  { echo "spinner not listed in 120 refreshes"; exit 1; }
echo "ok"
