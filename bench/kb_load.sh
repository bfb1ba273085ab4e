#!/usr/bin/env bash
# Load on loadwatch-kb, on this machine only and for a few seconds: the
# pages of 50 programs of this machine asked in turn (those of running
# processes first, then packaged programs of /usr/bin), by wrk over TCP on
# 127.0.0.1 and by kb_socket_load over TCP and over the user's Unix socket.
# Prints requests/s, latency percentiles, the server's start time and memory.
# Usage: bench/kb_load.sh KB_SERVER [SECONDS [CONNECTIONS [LOAD_CLIENT]]]
# Four connections keep both cores busy; more only add queueing on 2 cores.
# LOAD_CLIENT defaults to kb_socket_load of the same build tree.
set -euo pipefail
kb=${1:?path to loadwatch-kb}
seconds=${2:-5}
connections=${3:-4}
client=${4:-$(dirname "$kb")/../bench/kb_socket_load}
command -v wrk >/dev/null || { echo "wrk is missing (scripts/deps.sh installs it)"; exit 1; }
[ -x "$client" ] || { echo "$client is missing (build the kb_socket_load target)"; exit 1; }
work=$(mktemp -d)
servers=()
cleanup() {
  for s in "${servers[@]}"; do kill "$s" 2>/dev/null && wait "$s" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
rss() { awk '/^VmRSS/ {printf "%.1f MB", $2 / 1024}' "/proc/$1/status"; }
# The server's processor time so far, in clock ticks.
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Processor time the server spent per request: PID TICKS_BEFORE REQUESTS.
per_request() {
  local ticks=$(($(cpu "$1") - $2))
  awk -v t="$ticks" -v hz="$(getconf CLK_TCK)" -v n="$3" \
    'BEGIN { if (n > 0) printf "server processor time: %.1f us per request\n", t / hz * 1e6 / n }'
}

# Starts the server with the given arguments and environment; sets $pid and
# prints how long it took to say it listens.
start() {
  local out=$1; shift
  local begin end
  begin=$(date +%s%N)
  "$@" >"$out" 2>&1 &
  pid=$!
  servers+=("$pid")
  for _ in $(seq 3000); do grep -q 'listening on' "$out" && break; sleep 0.01; done
  end=$(date +%s%N)
  grep -q 'listening on' "$out" || { echo "server did not start: $(cat "$out")"; exit 1; }
  echo "start: $(((end - begin) / 1000000)) ms to listen, memory $(rss "$pid")"
}

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
while read -r path; do
  folder=${path%/*} file=${path##*/}
  iwf=0; { [ "$folder" = /usr/bin ] || [ "$folder" = /usr/sbin ]; } && iwf=1
  echo "/index.php?lang=en&fn=$(encode "$file")&p=$(encode "$folder")&ct1=$started&ct2=$started&ct3=$started&se=1&iwf=$iwf&pn=&fv=&fd=&cn=&lc=&c=&in=&v=1.13&wd=12345"
done <"$work/programs" >"$work/targets"
{
  echo 'local targets = {'
  sed 's/.*/  "&",/' "$work/targets"
  echo '}'
  echo 'local i = 0'
  echo 'request = function() i = i % #targets + 1; return wrk.format("GET", targets[i]) end'
} >"$work/mix.lua"
echo "programs in the mix: $count; $connections connections, ${seconds} s each run"

echo "== TCP on 127.0.0.1"
start "$work/tcp.out" "$kb" --listen 127.0.0.1:0
tcp=$pid
port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/tcp.out")
before=$(cpu "$tcp")
wrk -t2 -c"$connections" -d"${seconds}s" --timeout 2s --latency -s "$work/mix.lua" "http://127.0.0.1:$port" |
  tee "$work/wrk.out" | grep -E 'Requests/sec|Non-2xx|Socket errors|^ +(50|90|99)%|Latency '
per_request "$tcp" "$before" "$(sed -n 's/^ *\([0-9]*\) requests in.*/\1/p' "$work/wrk.out")"
before=$(cpu "$tcp")
"$client" "127.0.0.1:$port" "$connections" "$seconds" "$work/targets" | tee "$work/client.out"
per_request "$tcp" "$before" "$(sed -n 's/.* s, \([0-9]*\) requests:.*/\1/p' "$work/client.out")"
echo "memory after load: $(rss "$tcp")"

echo "== Unix socket"
mkdir -m 0700 "$work/runtime"
start "$work/unix.out" env XDG_RUNTIME_DIR="$work/runtime" "$kb"
unix=$pid
before=$(cpu "$unix")
"$client" "$work/runtime/loadwatch/kb.sock" "$connections" "$seconds" "$work/targets" | tee "$work/client.out"
per_request "$unix" "$before" "$(sed -n 's/.* s, \([0-9]*\) requests:.*/\1/p' "$work/client.out")"
echo "memory after load: $(rss "$unix")"
