#!/usr/bin/env bash
set -u
cli=$1
fail=0
for args in "--count" "--count 0" "--count -3" "--count 2x" "--bogus" \
            "--details" "--details 0" "--details -5" "--details 7x" "--details 4294967296" \
            "--details 2147483632" "--metrics" "--metrics 65536" "--metrics ::1:80" \
            "--metrics 0 --quiet-period 0" "--metrics 0 --details 1" "--quiet-period" "--quiet-period 5" \
            "--wide --details 1" "--wide --metrics 0"; do
  # A wrong acceptance would run the list for good: bound it.
  # shellcheck disable=SC2086
  timeout 30 "$cli" $args >/dev/null 2>/tmp/lw_cli_err.$$
  status=$?
  if [ $status -ne 2 ] || [ ! -s /tmp/lw_cli_err.$$ ]; then
    echo "'$args': exit $status, expected 2 with a message"; fail=1
  fi
done
"$cli" --help | grep -q -- '--count N' || { echo "--help lacks --count"; fail=1; }
"$cli" --help | grep -q -- '--details PID' || { echo "--help lacks --details"; fail=1; }
for word in --wide network; do
  "$cli" --help | grep -q -- "$word" || { echo "--help lacks $word"; fail=1; }
done
"$cli" --help | grep -q -- '--metrics \[ADDR:\]PORT' || { echo "--help lacks --metrics"; fail=1; }
# A port already taken is a clear failure, not a server that never answers.
exec {held}< <(python3 -c 'import socket,sys,time
s=socket.socket(); s.bind(("127.0.0.1",0)); s.listen(); print(s.getsockname()[1], flush=True); time.sleep(30)')
holder=$!
read -r port <&$held
"$cli" --metrics "127.0.0.1:$port" --count 1 >/dev/null 2>/tmp/lw_cli_err.$$
status=$?
if [ $status -ne 1 ] || ! grep -q "cannot listen" /tmp/lw_cli_err.$$; then
  echo "taken port: exit $status, expected 1 with a message"; fail=1
fi
exec {held}<&-
kill "$holder" 2>/dev/null
rm -f /tmp/lw_cli_err.$$
exit $fail
