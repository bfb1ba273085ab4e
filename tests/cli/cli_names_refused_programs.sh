#!/usr/bin/env bash
# A busy process of another user (nobody), whose program path the viewer
# may not read, is listed by the system's short name for it followed by the
# error text, not by the error text alone. Needs root to switch users.
set -u
cli=$1 spin=$2
[ "$(id -u)" -eq 0 ] || { echo "skipped: needs root"; exit 77; }
dir=$(mktemp -d)
chmod 755 "$dir"
cp "$spin" "$dir/lw-refused"
cp "$cli" "$dir/viewer"
# A relative argv[0]: the path cannot be learnt by the second route either.
(cd "$dir" && exec setpriv --reuid=65534 --regid=65534 --clear-groups ./lw-refused 15) &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -rf "$dir"' EXIT
# The viewer is a third user (daemon), without any privilege.
out=$(setpriv --reuid=1 --regid=1 --clear-groups "$dir/viewer" --count 3)
if ! grep -qE "^lw-refused \(#error2: $pid [0-9]+\) +Processor" <<<"$out"; then
  echo "the refused program is not listed by its name and error text"
  echo "$out"
  exit 1
fi
echo ok
