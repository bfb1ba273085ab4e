#!/usr/bin/env bash
# The installer under Wine: installs silently, checks files, Start-menu
# entry and uninstall key, starts the installed window and has the
# program's own monitor find the uninstaller beside it, uninstalls silently
# and checks that nothing is left.
#   installer_test.sh BUILD    (WINEPREFIX, a running wineserver and DISPLAY
#                               as scripts/test.d/windows.sh sets them)
set -uo pipefail
build=$1
setup=$(ls "$build"/loadwatch-*-setup.exe)
drive=$WINEPREFIX/drive_c
dir="$drive/Program Files/Loadwatch"
windir='C:\Program Files\Loadwatch'
link="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Loadwatch.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Loadwatch'
failed=0
check() {  # check WHAT COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failed=1; fi
}
ours() { find "$drive" -iname '*loadwatch*' 2>/dev/null | sort; }
registered() { wine reg query "$key" >/dev/null 2>&1; }
unregistered() { ! registered; }
# The uninstaller runs a copy of itself from the temporary folder and
# returns at once: its work is done when the folder is gone.
uninstall() {
  wine "$windir\\Uninstall.exe" /S >/dev/null 2>&1
  for _ in $(seq 3000); do [ -e "$dir" ] || return 0; sleep 0.1; done
  return 1
}
cleanup() {
  [ -e "$dir/Uninstall.exe" ] && uninstall
}
trap cleanup EXIT

if [ -e "$dir" ] || registered; then
  echo "installer: a copy is installed in $WINEPREFIX already; removing it first"
  uninstall || { echo "FAIL: the earlier copy does not uninstall"; exit 1; }
fi
ours >"$build/installer.before"
echo "installer: $(stat -c %s "$setup") bytes"

wine "$setup" /S >/dev/null 2>&1
check "the installer ends well" test $? -eq 0
for file in loadwatch.exe loadwatch-cli.exe loadwatch.ico Uninstall.exe; do
  check "installed: $file" test -f "$dir/$file"
done
check "Start-menu entry" test -f "$link"
values=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
for want in "DisplayName REG_SZ Loadwatch" "DisplayVersion REG_SZ 1.13" "Publisher REG_SZ Loadwatch maintainers" \
    "DisplayIcon REG_SZ $windir\\loadwatch.ico" "UninstallString REG_SZ \"$windir\\Uninstall.exe\""; do
  check "uninstall key: $want" grep -qxF "$want" <<<"$(sed 's/^ *//; s/    / /g' <<<"$values")"
done
check "the installed console view runs" bash -c "wine '$windir\\loadwatch-cli.exe' --help 2>/dev/null | grep -q '^Usage: loadwatch-cli'"

# The window from Program Files, started by the monitor's test program,
# and what the monitor makes of that process.
found=$(wine "$build/tests/windows/lw-test-uninstaller-of.exe" "$windir\\loadwatch.exe" 2>/dev/null | tr -d '\r')
echo "$found" | sed 's/^/   /'
check "the monitor finds our uninstaller for the running loadwatch.exe" \
  grep -qxF "uninstaller: $windir\\Uninstall.exe" <<<"$found"

check "the uninstaller ends silently" uninstall
check "the Start-menu entry is gone" test ! -e "$link"
check "the uninstall key is gone" unregistered
# The uninstaller's own copy in the temporary folder is left for Windows to
# delete at the next restart, as every NSIS uninstaller's is.
ours >"$build/installer.after"
check "nothing named loadwatch is left in the prefix" diff "$build/installer.before" "$build/installer.after"
exit $failed
