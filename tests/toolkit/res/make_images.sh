#!/bin/sh
# Draws the test programs' images with ImageMagick: the flat and edit button
# icons (16 x 16), the banner icon (32 x 32) and the banner's background strip
# (1 x 50, a 24-bit bitmap). Run by the build (tests/toolkit/CMakeLists.txt).
# Usage: make_images.sh OUTPUT_DIRECTORY
set -eu
out=$1
mkdir -p "$out"
convert -size 16x16 xc:'#2060c0' -fill white -draw 'rectangle 4,4 11,11' \
  -depth 8 "$out/flat_main.ico"
convert -size 16x16 xc:'#20a040' -fill white -draw 'circle 8,8 8,3' \
  -depth 8 "$out/flat_second.ico"
convert -size 32x32 xc:none -fill '#f0c020' -draw 'circle 16,16 16,2' \
  -fill '#604000' -draw 'rectangle 12,10 20,22' -depth 8 "$out/banner.ico"
convert -size 1x50 gradient:'#1f3f7f'-'#5f8fcf' -type TrueColor BMP3:"$out/banner_strip.bmp"
