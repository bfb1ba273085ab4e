#!/usr/bin/env bash
# Two loadwatch-cli --metrics instances (as two machines would be) scraped
# every second by a real Prometheus on loopback. A spinner and a disk writer
# of our own must show through Prometheus' query API: the spinner at the top
# of the processor rates with about one core, the writer with the bytes it
# wrote. promtool finds nothing to say about a real scrape, one that holds a
# program whose path needs escaping. The README's example queries run. Everything started here is stopped on
# exit. As root, the second instance runs as nobody with only the two
# capabilities the system unit grants, and still sees root's writer.
set -u
cli=$1 spin=$2 write=$3 readme=$4
for tool in prometheus promtool curl python3; do
  command -v $tool >/dev/null || { echo "skipped: $tool not installed (scripts/deps.sh)"; exit 77; }
done

# The writer's bytes must reach a file system that accounts them (tmpfs
# does not).
base=${TMPDIR:-/tmp}
[ "$(stat -f -c %T "$base")" = tmpfs ] && base=/var/tmp
dir=$(mktemp -d "$base/lw-prom.XXXXXX")
chmod 755 "$dir"
started=()
cleanup() {
  for p in "${started[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${started[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$dir"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for f in "$dir"/*.log; do [ -e "$f" ] && { echo "--- $f"; tail -20 "$f"; }; done
  exit 1
}

# Copies give our programs paths of their own on a machine others use too.
cp "$spin" "$dir/lw-prom-spin"
cp "$write" "$dir/lw-prom-write"
odd="$dir/odd \"quoted\" back\\slash"
cp "$spin" "$odd"
cp "$cli" "$dir/loadwatch-cli"

"$dir/loadwatch-cli" --metrics 127.0.0.1:0 >"$dir/a.log" 2>&1 &
started+=($!)
as_unit=()
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  caps=+sys_ptrace,+dac_read_search
  as_unit=(setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=$caps --ambient-caps=$caps
           --bounding-set=-all,$caps)
fi
"${as_unit[@]}" "$dir/loadwatch-cli" --metrics 127.0.0.1:0 >"$dir/b.log" 2>&1 &
started+=($!)

port_of() {
  for _ in $(seq 600); do
    p=$(sed -n 's|^Serving metrics on http://127.0.0.1:\([0-9]*\)/metrics$|\1|p' "$1")
    [ -n "$p" ] && { echo "$p"; return 0; }
    sleep 0.1
  done
  return 1
}
pa=$(port_of "$dir/a.log") || fail "instance a did not start"
pb=$(port_of "$dir/b.log") || fail "instance b did not start"

prom_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cat >"$dir/prometheus.yml" <<EOF
global:
  scrape_interval: 1s
  scrape_timeout: 900ms
scrape_configs:
  - job_name: loadwatch
    static_configs:
      - targets: ['127.0.0.1:$pa', '127.0.0.1:$pb']
EOF
prometheus --config.file="$dir/prometheus.yml" --storage.tsdb.path="$dir/tsdb" \
  --web.listen-address="127.0.0.1:$prom_port" --log.level=warn >"$dir/prometheus.log" 2>&1 &
started+=($!)

# Our programs run at a normal priority where we may give it, so that a
# busy build on the machine does not starve the spinner.
"$dir/lw-prom-spin" 300 &
spinner=$!
started+=($spinner)
renice -n 0 -p $spinner >/dev/null 2>&1
"$odd" 10 60 &
started+=($!)
mib=48
"$dir/lw-prom-write" "$dir/written" $mib 2 &
started+=($!)

# A real scrape, once the odd program has been busy.
for _ in $(seq 150); do
  page=$(curl -fsS "http://127.0.0.1:$pa/metrics") || fail "scrape failed"
  grep -q 'back\\\\slash' <<<"$page" && break
  sleep 0.2
done
grep -qF 'path="'"$dir"'/odd \"quoted\" back\\slash"' <<<"$page" ||
  fail "odd path missing or not escaped: $(grep -F odd <<<"$page" | head -3)"
lint=$(promtool check metrics <<<"$page" 2>&1) || fail "promtool: $lint"
[ -z "$lint" ] || fail "promtool: $lint"
echo "promtool check metrics: nothing to report"

python3 - "$prom_port" "$pa" "$pb" "$dir" $spinner $((mib * 1048576)) "$readme" <<'EOF' || fail "through Prometheus"
import json, os, re, sys, time, urllib.parse, urllib.request
port, pa, pb, folder, spinner, wrote, readme = sys.argv[1:8]
wrote = int(wrote)
instances = ["127.0.0.1:" + pa, "127.0.0.1:" + pb]
spin_path = folder + "/lw-prom-spin"
write_path = folder + "/lw-prom-write"

def query(expr):
    url = "http://127.0.0.1:%s/api/v1/query?%s" % (port, urllib.parse.urlencode({"query": expr}))
    try:
        with urllib.request.urlopen(url, timeout=5) as r:
            return json.load(r)["data"]["result"]
    except OSError:
        return None

def spinner_ticks():
    with open("/proc/%s/stat" % spinner) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])

tck = os.sysconf("SC_CLK_TCK")
history = []  # (time, processor ticks) of the spinner, its true load
deadline = time.monotonic() + 75
last = ""
while time.monotonic() < deadline:
    time.sleep(1)
    history.append((time.monotonic(), spinner_ticks()))
    old = [h for h in history if h[0] <= history[-1][0] - 15]
    truth = (history[-1][1] - old[-1][1]) / tck / (history[-1][0] - old[-1][0]) if old else None
    written = query('loadwatch_program_disk_written_bytes_total{program="lw-prom-write"}')
    spun = query('rate(loadwatch_program_cpu_seconds_total{program="lw-prom-spin"}[15s])')
    up = query("up")
    if written is None or spun is None or up is None or truth is None:
        continue
    ok = True
    notes = []
    for inst in instances:
        if not any(s["metric"].get("instance") == inst and s["value"][1] == "1" for s in up):
            ok = False; notes.append("%s not up" % inst); continue
        top = query('topk(3, rate(loadwatch_program_cpu_seconds_total{instance="%s"}[15s]))' % inst) or []
        top.sort(key=lambda s: -float(s["value"][1]))
        first = bool(top) and top[0]["metric"]["path"] == spin_path
        rates = [float(s["value"][1]) for s in spun
                 if s["metric"]["instance"] == inst and s["metric"]["path"] == spin_path]
        rate = rates[0] if rates else -1
        if truth >= 0.8:
            # The spinner had its core: it must lead, at about one core.
            good = first and 0.8 <= rate <= 1.05
        else:
            # The machine did not give it a core: what Prometheus says must
            # still be what it got.
            good = abs(rate - truth) <= max(0.1 * truth, 0.03)
        ok = ok and good
        notes.append("%s: spinner rate %.3f (true %.3f), first %s, top %s" % (
            inst, rate, truth, first, [(s["metric"]["program"], round(float(s["value"][1]), 3)) for s in top]))
        got = [int(float(s["value"][1])) for s in written
               if s["metric"]["instance"] == inst and s["metric"]["path"] == write_path]
        if not got or abs(got[0] - wrote) > wrote * 0.1:
            ok = False
        notes.append("%s: writer %s bytes of %d" % (inst, got[0] if got else "no", wrote))
    last = "\n".join(notes)
    if os.environ.get("LW_VERBOSE"): print(last, file=sys.stderr)
    if ok:
        break
print(last)
if not ok:
    sys.exit(1)

# The README's queries, with our spinner as the program asked about.
examples = re.findall(r"```promql\n(.*?)```", open(readme).read(), re.S)
if len(examples) != 3:
    sys.exit("README: expected 3 example queries, found %d" % len(examples))
for expr in examples:
    expr = re.sub(r'program="[^"]*"', 'program="lw-prom-spin"', expr)
    result = query(expr)
    if result is None:
        sys.exit("README query failed: " + expr)
    if "listed" in expr and len(result) != 2:
        sys.exit("README query: spinner busy on %d machines, expected 2" % len(result))
print("README queries: all %d answered" % len(examples))
EOF
echo ok
