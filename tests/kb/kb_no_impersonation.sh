#!/usr/bin/env bash
# Another user who holds 127.0.0.1:8642 and [::1]:8642 first hears nothing
# of loadwatch-cli --details: the built-in address goes to the user's own
# socket, or nowhere. Runs in a network namespace of its own (unshare -n),
# so the machine's port 8642 is never touched; the listener runs as nobody.
# Exit 77 (skipped) where that cannot be set up.
set -u
kb=$1 cli=$2
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

if [ -z "${LW_IN_NETNS:-}" ]; then
  [ "$(id -u)" -eq 0 ] || skip "needs root for a network namespace and a listener as nobody"
  id nobody >/dev/null 2>&1 || skip "no user nobody"
  [ -x /usr/bin/python3 ] || skip "/usr/bin/python3 missing"
  unshare -n true 2>/dev/null || skip "cannot unshare the network namespace here"
  LW_IN_NETNS=1 exec unshare -n "$0" "$@"
fi

ip link set lo up || skip "cannot bring up loopback in the namespace"
work=$(mktemp -d)
listener= server=
cleanup() {
  for p in $listener $server; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# The impostor: answers every connection with a page of its own and says
# what it received. It ends by itself after a minute at most.
cat >"$work/impostor.py" <<'PY'
import socket, sys, threading, time
said = threading.Lock()
def say(*words):
    # One line at a time: the two listeners' lines must not interleave.
    with said:
        print(*words, flush=True)
def serve(family, address):
    s = socket.socket(family, socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    if family == socket.AF_INET6:
        s.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 1)
    s.bind((address, 8642))
    s.listen(16)
    say("listening", address)
    while True:
        c, _ = s.accept()
        c.settimeout(2)
        try:
            data = c.recv(65536)
        except OSError:
            data = b""
        say("received", len(data))
        c.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 8\r\nConnection: close\r\n\r\nIMPOSTOR")
        c.close()
for family, address in ((socket.AF_INET, "127.0.0.1"), (socket.AF_INET6, "::1")):
    threading.Thread(target=serve, args=(family, address), daemon=True).start()
time.sleep(60)
PY
setpriv --reuid nobody --regid nogroup --clear-groups /usr/bin/python3 - <"$work/impostor.py" >"$work/impostor.out" 2>&1 &
listener=$!
for _ in $(seq 600); do [ "$(grep -c listening "$work/impostor.out")" -eq 2 ] && break; sleep 0.1; done
[ "$(grep -c listening "$work/impostor.out")" -eq 2 ] || fail "impostor did not start: $(cat "$work/impostor.out")"

unset LOADWATCH_KB_URL http_proxy HTTP_PROXY
mkdir -m 0700 "$work/runtime"
heard() { grep -c '^received' "$work/impostor.out"; }

# No server of the user's: no data, and no question elsewhere.
for runtime in "$work/runtime" "$work/missing" ""; do
  out=$(XDG_RUNTIME_DIR=$runtime "$cli" --details $$ 2>"$work/err") || fail "--details exit $?"
  grep -q 'No data' <<<"$out" || fail "runtime '$runtime': no no-data text: $out"
  grep -q IMPOSTOR <<<"$out" && fail "runtime '$runtime': the impostor's page was shown"
  [ "$(heard)" -eq 0 ] || fail "runtime '$runtime': the impostor received the query"
  [ -z "$runtime" ] && { grep -q XDG_RUNTIME_DIR "$work/err" || fail "no word on the missing runtime folder"; }
done

# With the user's own server: its page, and still nothing for the impostor.
XDG_RUNTIME_DIR=$work/runtime "$kb" >"$work/kb.out" 2>&1 &
server=$!
for _ in $(seq 600); do grep -q "listening on" "$work/kb.out" && break; sleep 0.1; done
grep -q "listening on $work/runtime/loadwatch/kb.sock" "$work/kb.out" || fail "server: $(cat "$work/kb.out")"
out=$(XDG_RUNTIME_DIR=$work/runtime "$cli" --details $$) || fail "--details exit $?"
grep -q '<b>Intact</b>' <<<"$out" || fail "our server's page missing: $out"
[ "$(heard)" -eq 0 ] || fail "the impostor received the query"

# The impostor does hear an address that names its port: it was listening.
LOADWATCH_KB_URL="http://127.0.0.1:8642/index.php?lang=en&" "$cli" --details $$ >/dev/null
[ "$(heard)" -eq 1 ] || fail "control: the impostor heard nothing even when asked directly"
echo ok
