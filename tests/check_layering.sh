#!/usr/bin/env bash
# Checks every include against the folder rules. Folders are libraries and
# the arrows point one way:
#   platform (interfaces) <- res <- monitor <- details, online <- actions <- window
#   monitor <- metrics (counters for scrapers), used by the console view only
#   platform/linux and platform/windows implement platform and depend on
#   nothing above it, nor on each other.
# The core folders also never include Qt, POSIX, Linux or Windows headers, nor
# libcurl.
set -u
root=$1
status=0

# folder: the folders its code may include from (besides its own).
declare -A allowed=(
  [platform]="platform"
  [platform/linux]="platform"
  [platform/windows]="platform"
  [res]="platform"
  [monitor]="res platform"
  [details]="monitor res platform"
  [online]="monitor res platform"
  [actions]="details online monitor res platform"
  [window]="actions details online monitor res platform"
  [controls]="monitor res platform"
  # Per-program counters and their exposition formats, for scrapers.
  [metrics]="monitor res platform"
  [helper]="platform/linux platform"
  [kb]="platform/linux res platform"
  # The Win32 window: a composition root, but never on the Linux backend
  # or the Qt controls.
  [winapp]="window actions details online monitor res platform/windows platform"
)

# The folder an include names: platform/linux/X.h -> platform/linux.
include_folder() {
  case $1 in
    platform/linux/*) echo platform/linux ;;
    platform/windows/*) echo platform/windows ;;
    */*) echo "${1%%/*}" ;;
    *) echo "" ;;
  esac
}

for folder in "${!allowed[@]}"; do
  dir=$root/$folder
  [ -d "$dir" ] || continue
  if [ "$folder" = platform ]; then files=("$dir"/*.h); else
    mapfile -t files < <(find "$dir" -name '*.h' -o -name '*.cpp'); fi
  for f in "${files[@]}"; do
    [ -e "$f" ] || continue
    while IFS= read -r line; do
      inc=$(sed -nE 's/^\s*#\s*include\s*"([^"]+)".*/\1/p' <<<"$line")
      [ -n "$inc" ] || continue
      target=$(include_folder "$inc")
      [ -z "$target" ] || [ "$target" = "$folder" ] && continue
      ok=0
      for a in ${allowed[$folder]}; do [ "$a" = "$target" ] && ok=1; done
      if [ $ok -eq 0 ]; then
        echo "${f#$root/}: $folder may not include $inc"
        status=1
      fi
    done < <(grep -E '^\s*#\s*include\s*"' "$f")
  done
done

core=()
for d in monitor details online actions res window metrics; do [ -d "$root/$d" ] && core+=("$root/$d"); done
bad=$(grep -rnE '^\s*#\s*include\s*[<"](Q[A-Za-z]*|qt[a-z]*/.*|unistd\.h|fcntl\.h|dirent\.h|sys/.*|linux/.*|curl/.*|dlfcn\.h|pthread\.h|signal\.h|poll\.h|openssl/.*|[Ww]indows\.h|tlhelp32\.h|psapi\.h|wininet\.h|wintrust\.h|softpub\.h|winver\.h|io\.h|direct\.h)[>"]' \
  "${core[@]}" "$root/platform"/*.h 2>/dev/null)
if [ -n "$bad" ]; then
  echo "Core code includes a toolkit or system header:"
  echo "$bad"
  status=1
fi
# Platform differences live behind the interfaces, never in the core's
# preprocessor.
bad=$(grep -rnE '^\s*#\s*(if|ifdef|ifndef|elif)\b.*(_WIN32|_WIN64|__MINGW|__linux__|__unix__|__APPLE__)' \
  "${core[@]}" "$root/platform"/*.h 2>/dev/null)
if [ -n "$bad" ]; then
  echo "Core code tests the platform in the preprocessor:"
  echo "$bad"
  status=1
fi
[ $status -eq 0 ] && echo "layering ok"
exit $status
