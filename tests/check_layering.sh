#!/usr/bin/env bash
# The core folders may include only the standard library, platform/
# interfaces and each other: no Qt, no POSIX or Linux headers, no libcurl.
set -u
root=$1
bad=$(grep -rnE '^\s*#\s*include\s*[<"](Q[A-Za-z]*|qt[a-z]*/.*|unistd\.h|fcntl\.h|dirent\.h|sys/.*|linux/.*|curl/.*|dlfcn\.h|pthread\.h|signal\.h|poll\.h|sys/capability\.h|openssl/.*)[>"]' \
  "$root/monitor" "$root/details" "$root/online" "$root/actions" "$root/res" "$root/platform"/*.h 2>/dev/null)
bad2=$(grep -rnE '^\s*#\s*include\s*"(platform/linux|controls|app|cli)/' \
  "$root/monitor" "$root/details" "$root/online" "$root/actions" "$root/res" 2>/dev/null)
if [ -n "$bad$bad2" ]; then
  echo "Core code includes what it must not:"
  echo "$bad"
  echo "$bad2"
  exit 1
fi
echo "layering ok"
