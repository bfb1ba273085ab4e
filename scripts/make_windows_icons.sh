#!/usr/bin/env bash
# Makes the Windows program's icons and hand cursor from the window's SVGs
# (app/icons) into winapp/icons, where they are kept: the cross build then
# needs no image tools. Run it again after an SVG changes.
# Needs rsvg-convert (librsvg2-bin), ImageMagick and python3.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
png() { rsvg-convert -w "$2" -h "$2" "app/icons/$1.svg" -o "$tmp/$1-$2.png"; }
for id in 128 131 132; do
  for side in 16 32 48; do png $id $side; done
  /usr/bin/convert "$tmp/$id-16.png" "$tmp/$id-32.png" "$tmp/$id-48.png" "winapp/icons/$id.ico"
done
# The cursor: a 32 x 32 icon whose header says cursor, with the fingertip
# at (5, 1) as its hot spot.
png 129 32
/usr/bin/convert "$tmp/129-32.png" -define icon:format=bmp "$tmp/129.ico"
python3 - "$tmp/129.ico" winapp/icons/129.cur <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
struct.pack_into("<H", data, 2, 2)          # type: cursor
struct.pack_into("<HH", data, 6 + 4, 5, 1)  # hot spot instead of planes, bit count
open(sys.argv[2], "wb").write(data)
PY
