#!/usr/bin/env bash
# Load on loadwatch-kb, on 127.0.0.1 only and for a few seconds: wrk asks
# for the pages of 50 programs of this machine in turn (those of running
# processes first, then packaged programs of /usr/bin), and prints
# requests/s and the latency percentiles.
# Usage: bench/kb_load.sh KB_SERVER [SECONDS [CONNECTIONS]]
# Four connections keep both cores busy; more only add queueing on 2 cores.
set -euo pipefail
kb=${1:?path to loadwatch-kb}
seconds=${2:-5}
connections=${3:-4}
command -v wrk >/dev/null || { echo "wrk is missing (scripts/deps.sh installs it)"; exit 1; }
work=$(mktemp -d)
server=
cleanup() { [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

"$kb" --listen 127.0.0.1:0 >"$work/kb.out" &
server=$!
for _ in $(seq 100); do grep -q 'listening on' "$work/kb.out" && break; sleep 0.1; done
port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/kb.out")
[ -n "$port" ] || { echo "server did not start"; exit 1; }

# Every byte but a letter as %xx, as the program sends it.
encode() {
  local LC_ALL=C s=$1 out= c i
  for ((i = 0; i < ${#s}; i++)); do
    c=${s:i:1}
    case $c in [a-zA-Z]) out+=$c ;; *) printf -v c '%%%02x' "'$c"; out+=$c ;; esac
  done
  printf '%s' "$out"
}
{
  for p in /proc/[0-9]*; do readlink "$p/exe" 2>/dev/null || true; done | grep -v ' (deleted)$' | sort -u
  ls -d /usr/bin/*
} | awk '!seen[$0]++ && n++ < 50' >"$work/programs"
count=$(wc -l <"$work/programs")
started=$(encode "$(date '+%x (%H:%M:%S)')")
{
  echo 'local targets = {'
  while read -r path; do
    folder=${path%/*} file=${path##*/}
    iwf=0; { [ "$folder" = /usr/bin ] || [ "$folder" = /usr/sbin ]; } && iwf=1
    echo "  \"/index.php?lang=en&fn=$(encode "$file")&p=$(encode "$folder")&ct1=$started&ct2=$started&ct3=$started&se=1&iwf=$iwf&pn=&fv=&fd=&cn=&lc=&c=&in=&v=1.13&wd=12345\","
  done <"$work/programs"
  echo '}'
  echo 'local i = 0'
  echo 'request = function() i = i % #targets + 1; return wrk.format("GET", targets[i]) end'
} >"$work/mix.lua"

echo "programs in the mix: $count; $connections connections, 2 threads, ${seconds} s, on 127.0.0.1:$port"
wrk -t2 -c"$connections" -d"${seconds}s" --timeout 2s --latency -s "$work/mix.lua" "http://127.0.0.1:$port" |
  tee "$work/wrk.out" | grep -E 'Requests/sec|Non-2xx|Socket errors|^ +(50|90|99)%|Latency '
