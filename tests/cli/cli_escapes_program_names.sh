#!/usr/bin/env bash
# A busy program whose file name holds escape sequences is listed with them
# escaped, piped and on a terminal: a user cannot steer another user's
# terminal by naming a program.
set -u
cli=$1 spin=$2
dir=$(mktemp -d)
evil="$dir/evil"$'\e'"[31mRED"$'\e'"[0m"
cp "$spin" "$evil"
"$evil" 15 &
spinner=$!
trap 'kill $spinner 2>/dev/null; wait $spinner 2>/dev/null; rm -rf "$dir"' EXIT
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
done
[ $status -eq 0 ] || { echo "--- piped"; cat -v <<<"$piped"; echo "--- tty"; cat -v <<<"$tty"; exit 1; }
echo "ok"
