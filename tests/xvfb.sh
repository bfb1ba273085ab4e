# Sourced: start_xvfb starts an Xvfb of our own on a display number the
# server picks itself (so two runs never share one), for the Qt xcb platform
# with no session bus (so no StatusNotifier tray), and adds its pid to the
# caller's `pids`. XVFB_SCREEN sets the screen (default 1280x1024x24).
# Returns non-zero when the server does not come up.
start_xvfb() {
  local number_file
  number_file=$(mktemp)
  unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
  # -noreset: by default the server resets when its last client leaves, and
  # a client connecting just then is refused ("could not connect to
  # display"); short-lived clients such as at-spi-bus-launcher or xprop
  # make that happen at any moment.
  Xvfb -displayfd 3 -noreset -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  pids+=($!)
  # The number is written once the server takes clients.
  for _ in $(seq 600); do [ -s "$number_file" ] && break; sleep 0.1; done
  local number
  number=$(head -n 1 "$number_file")
  rm -f "$number_file"
  [ -n "$number" ] || { echo "Xvfb did not start"; return 1; }
  export DISPLAY=:$number QT_QPA_PLATFORM=xcb
  # Qt's own messages otherwise go to the journal when stderr is a file.
  export QT_FORCE_STDERR_LOGGING=1
}
