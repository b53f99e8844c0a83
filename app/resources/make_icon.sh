#!/bin/sh
# Draws the program's icon with ImageMagick and writes it as a multi-size .ico:
# a sheet of text under a magnifying glass. Run by the build (app/CMakeLists.txt).
# Usage: make_icon.sh OUTPUT.ico
set -eu
out=$1
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

convert "$tmp/icon.png" -depth 8 -define png:color-type=6 -define icon:auto-resize=256,48,32,24,16 "$out"
