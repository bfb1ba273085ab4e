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
# Busy until the viewer has shown it, with four threads, so that it gets its
# tenth of a second each second on a machine whose processors are kept busy.
(cd "$dir" && exec setpriv --reuid=65534 --regid=65534 --clear-groups ./lw-refused 600 0 4) &
pid=$!
# The viewer is a third user (daemon), without any privilege. It runs until
# the line is in its output; the count only ends one that never shows it.
setpriv --reuid=1 --regid=1 --clear-groups "$dir/viewer" --count 120 >"$dir/out" &
viewer=$!
trap 'kill $pid $viewer 2>/dev/null; wait $pid $viewer 2>/dev/null; rm -rf "$dir"' EXIT
line="^lw-refused \(#error2: $pid [0-9]+\) +Processor"
while kill -0 $viewer 2>/dev/null && ! grep -qE "$line" "$dir/out"; do sleep 0.1; done
if ! grep -qE "$line" "$dir/out"; then
  echo "the refused program is not listed by its name and error text in 120 refreshes"
  tail -40 "$dir/out"
  exit 1
fi
echo ok
