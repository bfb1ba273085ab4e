# Sourced: start_xvfb FIRST starts an Xvfb of our own on the first free
# display number from FIRST, for the Qt xcb platform with no session bus
# (so no StatusNotifier tray), and adds its pid to the caller's `pids`.
# XVFB_SCREEN sets the screen (default 1280x1024x24).
start_xvfb() {
  local n=$1
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  export DISPLAY=:$n QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
  Xvfb "$DISPLAY" -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
}
