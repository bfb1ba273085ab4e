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
"$evil" 15 &
spinner=$!
"$disguised" 15 &
spinner2=$!
trap 'kill $spinner $spinner2 2>/dev/null; wait $spinner $spinner2 2>/dev/null; rm -rf "$dir"' EXIT
status=0
piped=$("$cli" --count 3)
# script(1) gives the list a real terminal.
tty=$(script -qec "$cli --count 3" /dev/null)
for mode in piped tty; do
  out=${!mode}
  if ! grep -qF 'evil\x1b[31mRED\x1b[0m' <<<"$out"; then
    echo "$mode: escaped name not listed"; status=1
  fi
  if grep -qF $'\e[31m' <<<"$out"; then
    echo "$mode: raw escape sequence reached the output"; status=1
  fi
  if ! grep -qF 'rtl\xe2\x80\xaegnp.exe\x0ax' <<<"$out"; then
    echo "$mode: disguised name not listed escaped"; status=1
  fi
  if grep -qF $'\xe2\x80\xae' <<<"$out"; then
    echo "$mode: a raw right-to-left override reached the output"; status=1
  fi
done
[ $status -eq 0 ] || { echo "--- piped"; cat -v <<<"$piped"; echo "--- tty"; cat -v <<<"$tty"; exit 1; }
echo "ok"
