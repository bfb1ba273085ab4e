#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need;
# touches apt only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev libgl-dev libxkbcommon-dev
  libcurl4-openssl-dev libssl-dev libcap-dev libcpp-httplib-dev libmicrohttpd-dev
  libsqlite3-dev zlib1g-dev wrk
  clang libclang-rt-14-dev
  xvfb xauth imagemagick locales procps fonts-dejavu-core
  dbus polkitd pkexec iproute2
  libxcb1-dev trayer xdotool x11-utils twm
  lxqt-panel dbus-bin at-spi2-core python3-pyatspi
  g++-mingw-w64-x86-64-posix wine wine64 python3
  debhelper dpkg-dev fakeroot lintian desktop-file-utils appstream nsis rsync
  curl
)
# The metrics test starts a Prometheus of its own; the package's service
# must not start with the install (below).
service_packages=(prometheus)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
updated=0
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -q
  updated=1
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

for p in "${service_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' && continue
  echo "Installing $p without starting its service"
  [ $updated -eq 1 ] || { $SUDO apt-get update -q; updated=1; }
  policy=/usr/sbin/policy-rc.d
  if [ -e "$policy" ]; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "$p"
  else
    # invoke-rc.d asks this file whether it may start services: 101 = no.
    printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
    $SUDO chmod 755 "$policy"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "$p" || status=$?
    $SUDO rm -f "$policy"
    [ "${status:-0}" -eq 0 ] || exit "$status"
  fi
  # Nor at the next boot.
  $SUDO systemctl disable "$p" >/dev/null 2>&1 || true
  $SUDO update-rc.d "$p" disable >/dev/null 2>&1 || true
done

# The date format's tests also run under a German locale when it exists;
# only root makes one here (sudo is asked for apt-get alone), and without
# it those cases skip.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8' && [ "$(id -u)" -eq 0 ]; then
  localedef -i de_DE -f UTF-8 de_DE.UTF-8 || true
fi
