#!/bin/sh
# Builds and runs the match preview benchmark under Wine on a private Xvfb
# display: rendering 100 and 10,000 matches and opening the File tab on a
# 5 MB file. Prints figures only.
# Usage: bench/preview_bench.sh [WINDOWS_BUILD_DIR]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
windows=${1:-$root/build/windows}
cmake --build "$windows" --target preview_bench_win -j2 >/dev/null
export WINEPREFIX="$windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
out=$(mktemp)
# Wine's system processes keep the first process's output open: write to a
# file, not a pipe.
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
  'wine "$1" >"$2" 2>&1; timeout 60 wineserver -w' sh "$windows/bench/preview_bench_win.exe" "$out"
cat "$out"
rm -f "$out"
