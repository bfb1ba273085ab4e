#!/usr/bin/env bash
# Cross-builds the Windows programs and their tests with mingw-w64 and runs
# the tests under Wine, in a Wine prefix of the build's own.
set -euo pipefail
cd "$(dirname "$0")/../.."
for tool in x86_64-w64-mingw32-g++-posix wine wineserver wineboot Xvfb; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "windows: $tool not found (scripts/deps.sh installs it)"
    exit 1
  fi
done
build=build/windows
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2
command -v makensis >/dev/null 2>&1 || { echo "windows: makensis not found (scripts/deps.sh installs it)"; exit 1; }

# Wine without a display, without its installers for .NET and the HTML
# engine, without menu entries on the host for its shortcuts, and quiet.
export WINEPREFIX=$PWD/$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY http_proxy HTTP_PROXY https_proxy HTTPS_PROXY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >/dev/null 2>&1
  wineserver -w
fi
# One server for the whole run: without it every program's exit waits for
# Wine's helper processes, and ctest with it. One left running from an
# earlier run of this prefix serves as well.
wineserver -p 2>/dev/null || true
# The window's tests need a display: one of the run's own, never the
# user's.
pids=()
# shellcheck source=/dev/null
source tests/xvfb.sh
trap 'wineserver -k || true; kill "${pids[@]}" 2>/dev/null || true' EXIT
start_xvfb || { echo "windows: Xvfb did not start"; exit 1; }
# The first program brings up Wine's own service processes, which stay with
# the server and keep that program's output open: let it be one whose
# output nobody waits for.
wine cmd /c exit </dev/null >/dev/null 2>&1
# The first window brings up Wine's desktop process, and that waits for the
# display. Once, under heavy load, the first dialog of the tests came up laid
# out for another screen size: let a window of no interest start it.
wine rundll32.exe user32.dll,MessageBeep </dev/null >/dev/null 2>&1 || true
status=0
(cd "$build" && ctest --output-on-failure -j2) || status=1
echo "== the installer =="
cmake --build "$build" --target installer >/dev/null || { echo "windows: the installer does not build"; exit 1; }
tests/windows/installer_test.sh "$build" || status=1
exit $status
