#!/bin/sh
# Draws the program's images with ImageMagick: the program's icon as a
# multi-size .ico (a sheet of text under a magnifying glass), the two tab
# images (results present, search running) and the tab drag cursor. Run by
# the build (app/CMakeLists.txt). Usage: make_icon.sh OUTPUT_DIRECTORY
set -eu
out=$1
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Drawn once at 256 pixels; the smaller sizes are scaled from it. Eight bits a
# channel: Windows does not load a 16-bit PNG inside an icon.
convert -size 256x256 xc:none \
  -fill '#1f5fa8' -draw 'roundrectangle 8,8 247,247 36,36' \
  -fill white -draw 'polygon 52,36 150,36 190,76 190,214 52,214' \
  -fill '#c9d6e8' -draw 'polygon 150,36 150,76 190,76' \
  -fill '#1f5fa8' \
  -draw 'rectangle 72,96 170,106' -draw 'rectangle 72,122 150,132' \
  -draw 'rectangle 72,148 130,158' -draw 'rectangle 72,174 110,184' \
  -stroke '#f2a900' -strokewidth 20 -fill none -draw 'circle 150,150 150,200' \
  -strokewidth 26 -draw 'line 186,186 226,226' \
  "$tmp/icon.png"
convert "$tmp/icon.png" -depth 8 -define png:color-type=6 -define icon:auto-resize=256,48,32,24,16 \
  "$out/varnel.ico"

# Tab images, drawn at 64 pixels and scaled: a sheet with lines (results), and
# an hourglass (running).
convert -size 64x64 xc:none -fill white -stroke '#1f5fa8' -strokewidth 5 \
  -draw 'rectangle 10,4 54,60' -stroke '#1f5fa8' -strokewidth 5 \
  -draw 'line 18,20 46,20' -draw 'line 18,32 46,32' -draw 'line 18,44 38,44' "$tmp/results.png"
convert "$tmp/results.png" -depth 8 -define png:color-type=6 -define icon:auto-resize=32,24,16 \
  "$out/tab_results.ico"
convert -size 64x64 xc:none -fill '#f2a900' -stroke '#8a5a00' -strokewidth 4 \
  -draw 'polygon 12,4 52,4 32,32' -draw 'polygon 32,32 52,60 12,60' "$tmp/running.png"
convert "$tmp/running.png" -depth 8 -define png:color-type=6 -define icon:auto-resize=32,24,16 \
  "$out/tab_running.ico"

# The drag cursor: a 32-pixel arrow with a small tab under it. A cursor file
# is an icon file with type 2 and the hot spot where the icon's colour
# planes and bit count are; the hot spot here is the arrow's tip (0, 0).
convert -size 32x32 xc:none -fill black -stroke white -strokewidth 1 \
  -draw 'polygon 0,0 0,20 5,15 9,23 12,22 8,14 14,14' \
  -fill '#c9d6e8' -stroke '#1f5fa8' -draw 'rectangle 12,20 30,30' \
  -depth 8 -type TrueColorAlpha BMP3:"$tmp/drag.bmp"
convert "$tmp/drag.bmp" -define icon:auto-resize=32 "$tmp/drag.ico"
{
  printf '\000\000\002\000'
  dd if="$tmp/drag.ico" bs=1 skip=4 count=6 2>/dev/null
  printf '\000\000\000\000'
  dd if="$tmp/drag.ico" bs=1 skip=14 2>/dev/null
} >"$out/tab_drag.cur"
