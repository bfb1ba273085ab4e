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
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait "${pids[@]}" 2>/dev/null; rm -rf "$dir"' EXIT
# Root's writer writes on cue and says when its bytes are synced.
coproc WRITER { exec "$writer" "$dir/data" 32 -; }
pids+=("$WRITER_PID")
nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
# The views run until stopped; the count only ends one the test forgot.
"${nobody[@]}" "$dir/with-caps" --count 600 >"$dir/with.out" &
pids+=($!)
"${nobody[@]}" "$dir/without-caps" --count 600 >"$dir/without.out" &
pids+=($!)

# Waits on a loaded machine are for events; the limit only ends a hang.
within_limit() {
  for _ in $(seq 1200); do "$@" && return 0; sleep 0.1; done
  return 1
}
refreshes() { grep -c '^Program  *Activity$' "$1"; }
at_least() { [ "$(refreshes "$1")" -ge "$2" ]; }
writer_busy() { grep -qE '^lw-cap-writer +.*Hard disk' "$1"; }
report() {
  echo "$1"
  echo "--- with"; tail -20 "$dir/with.out"; echo "--- without"; tail -20 "$dir/without.out"
  exit 1
}

# A refresh printed means the baseline before it was taken.
for view in with without; do
  within_limit at_least "$dir/$view.out" 1 || report "the view $view capabilities printed no list"
done
echo go >&"${WRITER[1]}"
read -r -t 120 line <&"${WRITER[0]}"
[ "${line:-}" = written ] || report "the writer did not write"
seen=$(refreshes "$dir/without.out")
within_limit writer_busy "$dir/with.out" || report "with capabilities: writer not listed with Hard disk"
# Two refreshes later, the view without them has sampled after the write.
within_limit at_least "$dir/without.out" $((seen + 2)) || report "without capabilities: the view stopped"
if writer_busy "$dir/without.out"; then report "without capabilities: writer's disk seen"; fi
echo ok
