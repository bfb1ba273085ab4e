#!/usr/bin/env bash
# A busy program whose file name holds escape sequences is listed with them
# escaped, piped and on a terminal: a user cannot steer another user's
# terminal by naming a program.
set -u
cli=$1 spin=$2
dir=$(mktemp -d)
evil="$dir/evil"$'\e'"[31mRED"$'\e'"[0m"
cp "$spin" "$evil"
# Busy until the test has seen it, with four threads, so that it gets its
# tenth of a second each second even on a machine whose processors other
# programs keep busy.
"$evil" 600 0 4 &
spinner=$!
trap 'kill $spinner 2>/dev/null; wait $spinner 2>/dev/null; rm -rf "$dir"' EXIT
escaped='evil\x1b[31mRED\x1b[0m'
# Each view runs until the spinner is in its output; the count only ends a
# view that never shows it.
view_until_listed() {
  local out=$dir/$1
  shift
  "$@" >"$out" &
  local view=$!
  while kill -0 $view 2>/dev/null && ! grep -qF "$escaped" "$out"; do sleep 0.1; done
  kill $view 2>/dev/null
  wait $view 2>/dev/null
}
view_until_listed piped "$cli" --count 120
# script(1) gives the list a real terminal; it ends the view when it ends.
view_until_listed tty script -qec "$cli --count 120" /dev/null
status=0
for mode in piped tty; do
  if ! grep -qF "$escaped" "$dir/$mode"; then
    echo "$mode: escaped name not listed in 120 refreshes"; status=1
  fi
  if grep -qF $'\e[31m' "$dir/$mode"; then
    echo "$mode: raw escape sequence reached the output"; status=1
  fi
done
[ $status -eq 0 ] || { echo "--- piped"; cat -v "$dir/piped"; echo "--- tty"; cat -v "$dir/tty"; exit 1; }
echo "ok"
