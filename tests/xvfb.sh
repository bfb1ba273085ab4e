# Sourced: start_xvfb starts an Xvfb of our own on a display number the
# server picks itself (so two runs never share one), for the Qt xcb platform
# with no session bus (so no StatusNotifier tray), and adds its pid to the
# caller's `pids`. XVFB_SCREEN sets the screen (default 1280x1024x24).
start_xvfb() {
  local number_file
  number_file=$(mktemp)
  unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  pids+=($!)
  # The number is written once the server takes clients.
  for _ in $(seq 600); do [ -s "$number_file" ] && break; sleep 0.1; done
  export DISPLAY=:$(head -n 1 "$number_file") QT_QPA_PLATFORM=xcb
  rm -f "$number_file"
}
