#!/bin/sh
# Builds and runs the result-list benchmarks: the table natively, and the
# real list view under Wine on a private Xvfb display. Prints figures only.
# Usage: bench/ui_list_bench.sh [NATIVE_BUILD_DIR [WINDOWS_BUILD_DIR]]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
native=${1:-$root/build/native}
windows=${2:-$root/build/windows}
cmake --build "$native" --target ui_list_bench -j2 >/dev/null
echo "== native (table only)"
"$native/bench/ui_list_bench"
cmake --build "$windows" --target ui_list_bench_win -j2 >/dev/null
echo "== Wine (list view in a window)"
export WINEPREFIX="$windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
out=$(mktemp)
# Wine's system processes keep the first process's output open: write to a
# file, not a pipe.
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
  'wine "$1" >"$2" 2>&1; timeout 60 wineserver -w' sh "$windows/bench/ui_list_bench_win.exe" "$out"
cat "$out"
rm -f "$out"
