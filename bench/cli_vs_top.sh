#!/usr/bin/env bash
# Processor seconds of `loadwatch-cli --count N` and `top -b -d 1 -n N`,
# run side by side on this machine. Usage: bench/cli_vs_top.sh CLI [N [IDLE]]
# IDLE extra sleeping processes are started first (and ended after) to
# compare on a busier process table.
set -euo pipefail
cli=${1:?path to loadwatch-cli}
n=${2:-20}
idle=${3:-0}
sleepers=()
cleanup() { ((${#sleepers[@]})) && kill "${sleepers[@]}" 2>/dev/null; wait 2>/dev/null || true; }
trap cleanup EXIT
for ((i = 0; i < idle; i++)); do sleep 600 & sleepers+=($!); done
cpu() {  # user+system seconds of a command, from the shell's children times
  bash -c "$1 >/dev/null 2>&1; times" | tail -1 | awk '
    function s(t){ split(t,a,"m"); sub("s","",a[2]); return a[1]*60+a[2] }
    { printf "%.3f\n", s($1)+s($2) }'
}
cpu "$cli --count $n" >/tmp/lw_cli_cpu.$$ &
a=$!
cpu "top -b -d 1 -n $n" >/tmp/lw_top_cpu.$$ &
b=$!
wait $a $b
c=$(cat /tmp/lw_cli_cpu.$$); t=$(cat /tmp/lw_top_cpu.$$)
rm -f /tmp/lw_cli_cpu.$$ /tmp/lw_top_cpu.$$
procs=$(ls -d /proc/[0-9]* | wc -l)
echo "processes: $procs  refreshes: $n"
echo "loadwatch-cli: ${c} s CPU"
echo "top:           ${t} s CPU"
awk -v c="$c" -v t="$t" 'BEGIN { if (t > 0) printf "ratio cli/top: %.2f\n", c / t }'
