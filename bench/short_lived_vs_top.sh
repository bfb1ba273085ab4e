#!/usr/bin/env bash
# Short-lived processes as loadwatch-cli and top (and pidstat, if installed)
# see them, side by side on the same workload: COUNT processes that each
# burn DURATION seconds of processor, one started every GAP seconds.
# Usage: bench/short_lived_vs_top.sh CLI SPIN [COUNT [DURATION [GAP]]]
# SPIN is tests/helpers' lw-test-spin. Run as root, loadwatch-cli hears the
# kernel's exit accounting; it is also run without CAP_NET_ADMIN (setpriv),
# where only the parents' children's times are left.
# For each viewer: the refreshes that showed the program busy at that moment
# (top and pidstat: 10 % or more of a core), and the processes it named.
set -euo pipefail
cli=${1:?path to loadwatch-cli}
spin=${2:?path to lw-test-spin}
count=${3:-20}
duration=${4:-0.8}
gap=${5:-1.37}
work=$(mktemp -d)
name=lwsl$$
name=${name:0:15}
cp "$spin" "$work/$name"
# The processes' parent under a name of its own as well.
parent=lwpa$$
parent=${parent:0:15}
cp "$(command -v bash)" "$work/$parent"
pids=()
cleanup() { ((${#pids[@]})) && kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
[ -n "${KEEP:-}" ] && trap - EXIT
refreshes=$(awk -v c="$count" -v g="$gap" -v d="$duration" 'BEGIN { printf "%d", c * g + d + 3 }')

top -b -d 1 -n "$refreshes" -w 200 >"$work/top" 2>/dev/null & pids+=($!)
"$cli" --wide --count "$refreshes" >"$work/cli" 2>/dev/null & pids+=($!)
if command -v setpriv >/dev/null; then
  setpriv --bounding-set=-net_admin "$cli" --wide --count "$refreshes" >"$work/cli-noright" 2>/dev/null & pids+=($!)
fi
if command -v pidstat >/dev/null; then
  pidstat -u 1 "$refreshes" >"$work/pidstat" 2>/dev/null & pids+=($!)
fi
sleep 1.5  # every viewer has its baseline
"$work/$parent" -c "for ((i = 0; i < $count; i++)); do '$work/$name' $duration & sleep $gap; done; wait" &
pids+=($!)
wait

# top: a frame starts with "top -"; COMMAND is the last column, %CPU the 9th.
read -r top_busy top_procs < <(awk -v n="$name" '
  /^top -/ { frame++ }
  $NF == n && $9 + 0 >= 10 { busy[frame] = 1; seen[$1] = 1 }
  END { printf "%d %d\n", length(busy), length(seen) }' "$work/top")
# loadwatch-cli: a refresh ends with a blank line; a row of the program
# whose activity holds "Processor" not followed by an age is busy now. The
# PID column is "-" for ended ones, which the count in the name tells.
cli_counts() {
  awk -v n="$name" '
    BEGIN { refresh = 1 }
    /^$/ { refresh++; next }
    index($0, n) == 1 && /Processor/ && !/Processor \(/ {
      busy[refresh] = 1
      if ($2 ~ /^[0-9]+$/) seen[$2] = 1
      else if (substr($0, length(n) + 1, 2) == " (") ended += substr($0, length(n) + 3) + 0
      else ended++
    }
    END { printf "%d %d %d\n", length(busy), length(seen), ended }' "$1"
}
read -r cli_busy cli_live cli_ended < <(cli_counts "$work/cli")
echo "workload: $count processes of ${duration} s, one every ${gap} s; $refreshes refreshes"
echo "top:                         busy in $top_busy refreshes, $top_procs processes at >= 10 %"
if [ -f "$work/pidstat" ]; then
  read -r ps_busy ps_procs < <(awk -v n="$name" '
    $NF == n && $(NF-2) + 0 >= 10 { busy[$1] = 1; seen[$(NF-7)] = 1 }
    END { printf "%d %d\n", length(busy), length(seen) }' "$work/pidstat")
  echo "pidstat:                     busy in $ps_busy refreshes, $ps_procs processes at >= 10 %"
fi
echo "loadwatch-cli:               busy in $cli_busy refreshes, $cli_live processes met running, $cli_ended counted after they ended"
if [ -f "$work/cli-noright" ]; then
  read -r nr_busy nr_live nr_ended < <(cli_counts "$work/cli-noright")
  by_parent=$(awk -v p="$parent (its short-lived programs)" '
    BEGIN { refresh = 1 }
    /^$/ { refresh++; next }
    index($0, p) == 1 && /Processor/ && !/Processor \(/ { busy[refresh] = 1 }
    END { print length(busy) }' "$work/cli-noright")
  echo "loadwatch-cli, no CAP_NET_ADMIN: busy in $nr_busy refreshes, $nr_live processes met running; parent busy in $by_parent refreshes"
fi
