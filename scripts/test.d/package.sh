#!/usr/bin/env bash
# Builds the Debian package, checks it, installs it with apt, runs the
# installed programs (the console view; the helper through pkexec under its
# own polkit action), purges it and checks that nothing is left.
# Root or sudo: it installs into the system. Its source copy and build
# directory stay in build/package, so the next run builds incrementally.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
for tool in dpkg-buildpackage dh lintian desktop-file-validate appstreamcli rsync apt-get; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "package: $tool not found (scripts/deps.sh installs it)"
    exit 1
  fi
done
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if dpkg-query -W -f='${Status}' loadwatch 2>/dev/null | grep -q 'ok installed'; then
  echo "package: loadwatch is installed already; this test installs and purges its own copy"
  exit 1
fi

out=build/package
src=$out/src
helper=/usr/libexec/loadwatch/loadwatch-helper
action=org.loadwatch.helper
failed=0
check() {  # check WHAT COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failed=1; fi
}

# What of ours lies in the system before the package (a copy from
# cmake --install may): after the purge it must be exactly this again.
ours() {
  find /etc /usr /var /opt -xdev \( -path /var/tmp -o -path /var/cache/apt \) -prune -o \
    -iname '*loadwatch*' -print 2>/dev/null | sort
}
tmp=$(mktemp -d)
ours >"$tmp/before"
cleanup() {
  if dpkg-query -W -f='${Status}' loadwatch 2>/dev/null | grep -q 'installed'; then
    $SUDO apt-get purge -y -q loadwatch >/dev/null 2>&1 || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT

echo "== build =="
mkdir -p "$src"
# debian/build, the configured Release tree, survives the copy and the
# clean; the debhelper leftovers of the previous run do not.
rsync -a --delete --exclude=/.git --exclude=/build/ --exclude=/debian/build/ ./ "$src/"
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
fi
# The debug-symbol package is not what this test looks at.
export DEB_BUILD_OPTIONS="noddebs nocheck"
rm -f "$out"/loadwatch[_-]*
start=$SECONDS
(cd "$src" && dh_clean && nice dpkg-buildpackage -b -us -uc --no-pre-clean >"$root/$out/build.log" 2>&1) || {
  tail -n 40 "$out/build.log"
  echo "FAIL: dpkg-buildpackage (log: $out/build.log)"
  exit 1
}
echo "built in $((SECONDS - start)) s"
deb=$(ls "$out"/loadwatch_*.deb)
changes=$(ls "$out"/loadwatch_*.changes)

echo "== lintian =="
lintian --fail-on error "$changes" || { echo "FAIL: lintian reports errors"; failed=1; }

echo "== contents =="
dpkg-deb -c "$deb" | awk '$6 !~ /\/$/ { printf "%9d  %s\n", $3, substr($6, 2) }'
dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }' | grep -v '/$' | sort >"$tmp/files"
for want in /usr/bin/loadwatch /usr/bin/loadwatch-cli /usr/bin/loadwatch-kb "$helper" \
    /usr/share/polkit-1/actions/$action.policy /usr/share/applications/loadwatch.desktop \
    /usr/share/icons/hicolor/scalable/apps/loadwatch.svg /usr/share/metainfo/org.loadwatch.Loadwatch.metainfo.xml \
    /usr/share/man/man1/loadwatch.1.gz /usr/share/man/man1/loadwatch-cli.1.gz /usr/share/man/man1/loadwatch-kb.1.gz \
    /usr/lib/systemd/user/loadwatch-kb.socket /usr/lib/systemd/user/loadwatch-kb.service \
    /lib/systemd/system/loadwatch-metrics.service /usr/share/loadwatch/advice.tsv; do
  check "the package holds $want" grep -qx "$want" "$tmp/files"
done
check "every file lies below /usr, but the system unit" bash -c "! grep -v -e '^/usr/' -e '^/lib/systemd/system/' '$tmp/files'"
mkdir "$tmp/x"
dpkg-deb -x "$deb" "$tmp/x"
check "the policy names $helper" grep -q "exec.path\">$helper<" "$tmp/x/usr/share/polkit-1/actions/$action.policy"
check "the window starts the helper from $helper" grep -q "$helper" "$tmp/x/usr/bin/loadwatch"
check "the service starts /usr/bin/loadwatch-kb" grep -q '^ExecStart=/usr/bin/loadwatch-kb' \
  "$tmp/x/usr/lib/systemd/user/loadwatch-kb.service"
check "the metrics service starts /usr/bin/loadwatch-cli" grep -q '^ExecStart=/usr/bin/loadwatch-cli --metrics' \
  "$tmp/x/lib/systemd/system/loadwatch-metrics.service"
check "desktop-file-validate" desktop-file-validate "$tmp/x/usr/share/applications/loadwatch.desktop"
check "appstreamcli validate" appstreamcli validate --no-net "$tmp/x/usr/share/metainfo/org.loadwatch.Loadwatch.metainfo.xml"

echo "== install =="
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "$root/$deb" >"$tmp/apt.log" 2>&1 ||
  { cat "$tmp/apt.log"; echo "FAIL: apt-get install"; exit 1; }
check "no library is missing" bash -c "! ldd /usr/bin/loadwatch /usr/bin/loadwatch-cli /usr/bin/loadwatch-kb | grep 'not found'"
check "the socket is enabled for every user" test -L /etc/systemd/user/sockets.target.wants/loadwatch-kb.socket
check "the metrics service is not enabled" test ! -e /etc/systemd/system/multi-user.target.wants/loadwatch-metrics.service
rc=0
/usr/bin/loadwatch-cli --count 2 >"$tmp/cli.out" 2>&1 || rc=$?
check "the installed loadwatch-cli --count 2 ends well" test $rc -eq 0
check "it printed two refreshes" test "$(grep -c '^Program' "$tmp/cli.out")" -eq 2 || cat "$tmp/cli.out"

echo "== pkexec, the installed helper =="
tests_build=${LOADWATCH_TEST_BUILD:-build/test}
if [ ! -f "$tests_build/build.ninja" ]; then
  cmake -S . -B "$tests_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOADWATCH_WERROR=ON >/dev/null
fi
cmake --build "$tests_build" --target lw-test-elevation lw-test-write >/dev/null
rc=0
# Without root it skips: the scripts ask sudo for apt-get alone.
bash tests/helper/pkexec_e2e.sh "$tests_build/tests/helper/lw-test-elevation" "$helper" \
  "$tests_build/tests/helpers/lw-test-write" "$root/$tests_build/tests/helper" "$action" || rc=$?
# 77: this machine cannot run it (no root, no polkitd), as in the unit tests.
check "pkexec end to end with the installed helper and policy" test $rc -eq 0 -o $rc -eq 77

echo "== purge =="
DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -q loadwatch >"$tmp/apt.log" 2>&1 ||
  { cat "$tmp/apt.log"; echo "FAIL: apt-get purge"; exit 1; }
check "dpkg knows no loadwatch" bash -c "! dpkg-query -W -f='\${Status}' loadwatch 2>/dev/null | grep -q ."
ours >"$tmp/after"
check "nothing of the package is left" diff "$tmp/before" "$tmp/after"
exit $failed
