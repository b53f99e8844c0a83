#!/bin/sh
# Draws the test programs' images with ImageMagick: the flat and edit button
# icons (16 x 16 at 96 DPI, with 24 and 32 for 150% and 200%), the banner icon
# (32 x 32, with 48 and 64) and the banner's background strip (1 x 50, a
# 24-bit bitmap). Run by the build (tests/toolkit/CMakeLists.txt).
# Usage: make_images.sh OUTPUT_DIRECTORY
set -eu
out=$1
mkdir -p "$out"
# Drawn at the largest size; the smaller ones are scaled down from it.
convert -size 32x32 xc:'#2060c0' -fill white -draw 'rectangle 8,8 23,23' \
  -define icon:auto-resize=32,24,16 -depth 8 "$out/flat_main.ico"
convert -size 32x32 xc:'#20a040' -fill white -draw 'circle 16,16 16,6' \
  -define icon:auto-resize=32,24,16 -depth 8 "$out/flat_second.ico"
convert -size 64x64 xc:none -fill '#f0c020' -draw 'circle 32,32 32,4' \
  -fill '#604000' -draw 'rectangle 24,20 40,44' -define icon:auto-resize=64,48,32 \
  -depth 8 "$out/banner.ico"
convert -size 1x50 gradient:'#1f3f7f'-'#5f8fcf' -type TrueColor BMP3:"$out/banner_strip.bmp"
