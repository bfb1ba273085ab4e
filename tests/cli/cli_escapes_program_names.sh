#!/usr/bin/env bash
# Busy programs whose file names hold escape sequences, a right-to-left
# override (U+202E) or a newline are listed with them escaped, piped and on a
# terminal: a user can neither steer another user's terminal nor disguise a
# program ("rtl" U+202E "gnp.exe" would read "rtlexe.png") by naming it.
set -u
cli=$1 spin=$2
dir=$(mktemp -d)
evil="$dir/evil"$'\e'"[31mRED"$'\e'"[0m"
cp "$spin" "$evil"
disguised="$dir/rtl"$'\xe2\x80\xae'"gnp.exe"$'\n'"x"
cp "$spin" "$disguised"
# Busy until the test has seen them, with four threads each, so that they
# get their tenth of a second each second even on a machine whose
# processors other programs keep busy.
"$evil" 600 0 4 &
spinner=$!
"$disguised" 600 0 4 &
spinner2=$!
trap 'kill $spinner $spinner2 2>/dev/null; wait $spinner $spinner2 2>/dev/null; rm -rf "$dir"' EXIT
escaped='evil\x1b[31mRED\x1b[0m'
escaped2='rtl\xe2\x80\xaegnp.exe\x0ax'
listed() { grep -qF "$escaped" "$1" && grep -qF "$escaped2" "$1"; }
# Each view runs until both spinners are in its output; the count only ends
# a view that never shows them.
view_until_listed() {
  local out=$dir/$1
  shift
  "$@" >"$out" &
  local view=$!
  while kill -0 $view 2>/dev/null && ! listed "$out"; do sleep 0.1; done
  kill $view 2>/dev/null
  wait $view 2>/dev/null
}
view_until_listed piped "$cli" --count 120
# script(1) gives the list a real terminal; it ends the view when it ends.
view_until_listed tty script -qec "$cli --count 120" /dev/null
status=0
for mode in piped tty; do
  out=$dir/$mode
  if ! grep -qF "$escaped" "$out"; then
    echo "$mode: escaped name not listed in 120 refreshes"; status=1
  fi
  if grep -qF $'\e[31m' "$out"; then
    echo "$mode: raw escape sequence reached the output"; status=1
  fi
  if ! grep -qF "$escaped2" "$out"; then
    echo "$mode: disguised name not listed escaped in 120 refreshes"; status=1
  fi
  if grep -qF $'\xe2\x80\xae' "$out"; then
    echo "$mode: a raw right-to-left override reached the output"; status=1
  fi
done
[ $status -eq 0 ] || { echo "--- piped"; cat -v "$dir/piped"; echo "--- tty"; cat -v "$dir/tty"; exit 1; }
echo "ok"
