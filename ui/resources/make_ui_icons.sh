#!/bin/sh
# Draws the search page's icons with ImageMagick (shapes only, no fonts): the
# toggle and edit-button icons (16 x 16), the banner icons (32 x 32) and the
# banner's background strip (1 x 50, a 24-bit bitmap). Run by the build
# (ui/CMakeLists.txt). Usage: make_ui_icons.sh OUTPUT_DIRECTORY
set -eu
out=$1
mkdir -p "$out"
blue='#2a5caa'
red='#c03030'
green='#2a8a3a'
icon() {  # name, drawing arguments...
  name=$1
  shift
  convert -size 16x16 xc:none "$@" -depth 8 -define png:color-type=6 "$out/$name.ico"
}
# Arrow of the advanced toggle: plain, and marked with a dot (criteria in use).
icon arrow_plain -fill "$blue" -draw 'polygon 4,5 12,5 8,11'
icon arrow_marked -fill "$blue" -draw 'polygon 2,5 10,5 6,11' -fill "$red" -draw 'circle 12,11 12,8'
icon history -fill "$blue" -draw 'polygon 4,6 12,6 8,11'
icon browse_folder -fill '#e0b030' -stroke '#8a6a10' -draw 'rectangle 1,4 14,13' -draw 'rectangle 1,2 6,4'
icon browse_folders -fill '#e0b030' -stroke '#8a6a10' -draw 'rectangle 4,6 15,14' \
  -draw 'rectangle 1,3 12,11'
icon select_names -fill white -stroke "$blue" -draw 'rectangle 3,1 12,14' \
  -draw 'line 5,5 10,5' -draw 'line 5,8 10,8' -draw 'line 5,11 10,11'
icon subfolders -stroke "$blue" -strokewidth 2 -draw 'line 3,2 3,13' -draw 'line 3,7 9,7' \
  -draw 'line 3,13 9,13' -fill '#e0b030' -stroke none -draw 'rectangle 10,5 15,9' \
  -draw 'rectangle 10,11 15,15'
icon case -stroke "$blue" -strokewidth 2 -fill none -draw 'polyline 1,14 4,2 7,14' \
  -draw 'line 2,10 6,10' -draw 'circle 12,11 12,8'
icon whole_words -stroke "$blue" -strokewidth 2 -draw 'line 2,3 2,13' -draw 'line 14,3 14,13' \
  -stroke "$green" -draw 'line 5,8 11,8'
icon regexp -stroke "$blue" -strokewidth 2 -draw 'line 8,2 8,10' -draw 'line 4,4 12,8' \
  -draw 'line 12,4 4,8' -fill "$blue" -stroke none -draw 'rectangle 3,12 6,15'
icon hex -stroke "$blue" -strokewidth 2 -fill none -draw 'polygon 4,2 12,2 15,8 12,14 4,14 1,8'
icon hidden -fill none -stroke "$blue" -strokewidth 2 -draw 'ellipse 8,8 7,4 0,360' \
  -fill "$blue" -draw 'circle 8,8 8,6'
icon hidden_not -fill none -stroke "$blue" -strokewidth 2 -draw 'ellipse 8,8 7,4 0,360' \
  -stroke "$red" -draw 'line 2,14 14,2'
icon read_only -fill "$blue" -draw 'rectangle 3,7 13,14' -fill none -stroke "$blue" \
  -strokewidth 2 -draw 'arc 5,2 11,12 180,360'
icon read_only_not -fill "$blue" -draw 'rectangle 3,7 13,14' -stroke "$red" -strokewidth 2 \
  -draw 'line 2,15 14,3'
icon folders -fill '#e0b030' -stroke '#8a6a10' -draw 'rectangle 1,4 14,13'
icon folders_not -fill '#e0b030' -stroke '#8a6a10' -draw 'rectangle 1,4 14,13' \
  -stroke "$red" -strokewidth 2 -draw 'line 1,15 15,1'
icon backup -fill white -stroke "$blue" -draw 'rectangle 5,1 14,11' -draw 'rectangle 2,4 11,14'
icon replace_read_only -fill "$blue" -draw 'rectangle 3,7 13,14' -stroke "$green" -strokewidth 2 \
  -fill none -draw 'polyline 2,6 6,10 14,1'
icon skip_read_only -fill "$blue" -draw 'rectangle 3,7 13,14' -stroke "$red" -strokewidth 2 \
  -draw 'line 1,1 15,15'
convert -size 32x32 xc:none -fill white -stroke "$blue" -draw 'rectangle 6,3 25,28' \
  -draw 'line 10,10 21,10' -draw 'line 10,16 21,16' -draw 'line 10,22 21,22' \
  -depth 8 -define png:color-type=6 "$out/banner_list.ico"
convert -size 32x32 xc:none -fill white -stroke "$blue" -strokewidth 2 \
  -draw 'polygon 3,4 29,4 18,16 18,27 14,29 14,16' \
  -depth 8 -define png:color-type=6 "$out/banner_filter.ico"
convert -size 1x50 gradient:'#1f3f7f'-'#5f8fcf' -type TrueColor BMP3:"$out/banner_strip.bmp"
