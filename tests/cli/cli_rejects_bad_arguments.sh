#!/usr/bin/env bash
set -u
cli=$1
fail=0
for args in "--count" "--count 0" "--count -3" "--count 2x" "--bogus" \
            "--details" "--details 0" "--details -5" "--details 7x" "--details 4294967296" \
            "--details 2147483632"; do
  # shellcheck disable=SC2086
  "$cli" $args >/dev/null 2>/tmp/lw_cli_err.$$
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
rm -f /tmp/lw_cli_err.$$
exit $fail
