#!/usr/bin/env bash
# loadwatch-cli --details shows the page of the real server for a running
# bash of the system, and for a copy of it outside every package.
set -u
kb=$1 cli=$2
work=$(mktemp -d)
server=
copy=
cleanup() {
  [ -n "$copy" ] && kill "$copy" 2>/dev/null && wait "$copy" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$kb" --listen 127.0.0.1:0 >"$work/kb.out" 2>&1 &
server=$!
for _ in $(seq 600); do grep -q "listening on" "$work/kb.out" && break; sleep 0.1; done
port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/kb.out")
[ -n "$port" ] || fail "server did not start: $(cat "$work/kb.out")"
export LOADWATCH_KB_URL="http://127.0.0.1:$port/index.php?lang=en&"

# This script's own shell is the system's bash.
out=$("$cli" --details $$) || fail "loadwatch-cli --details exit $?"
echo "$out"
package=$(dpkg-query -W -f='${binary:Synopsis}' bash)
grep -q '<b>Intact</b>' <<<"$out" || fail "system bash not intact"
grep -q 'a system folder' <<<"$out" || fail "system bash not in a system folder"
grep -qF "$package" <<<"$out" || fail "package description '$package' missing"
grep -q 'Bash is an sh-compatible' <<<"$out" || fail "long description missing"

cp "$(readlink -f /proc/$$/exe)" "$work/bash"
# A builtin read on a fifo nobody writes: the copy waits without children.
mkfifo "$work/fifo"
"$work/bash" -c 'read -t 60 line' <>"$work/fifo" >/dev/null 2>&1 &
copy=$!
for _ in $(seq 600); do [ "$(readlink /proc/$copy/exe)" = "$work/bash" ] && break; sleep 0.1; done
out=$("$cli" --details "$copy") || fail "loadwatch-cli --details of the copy exit $?"
echo "$out"
grep -q 'The file belongs to no installed package.' <<<"$out" || fail "copy claimed by a package"
grep -q '<b>Not verified</b>' <<<"$out" || fail "unpackaged copy not reported as not verified"
grep -q 'not a system folder' <<<"$out" || fail "copy reported in a system folder"
echo ok
