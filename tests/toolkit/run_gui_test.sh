#!/bin/sh
# Runs a Windows GUI test program under Wine on a private Xvfb display.
# Usage: run_gui_test.sh WINE PROGRAM [ARGUMENTS...]
# A wineserver still running from an earlier test may have started the
# desktop on another display (or none); waiting for it to end lets this run
# start one on its own display, and the run waits for its own server in turn.
set -u
wine=$1
shift
wineserver=${WINESERVER:-wineserver}
# Bounded: a process left behind by another test (a console host, say) can
# keep the server up, and its desktop has no display. CTest runs the Windows
# tests one at a time, so ending what is left is safe.
timeout 20 "$wineserver" -w || { "$wineserver" -k; timeout 20 "$wineserver" -w; }
WINESERVER_CMD=$wineserver exec xvfb-run -a -s "-screen 0 1280x1024x24" \
  sh -c '"$@"; rc=$?; timeout 60 "$WINESERVER_CMD" -w; exit $rc' sh "$wine" "$@"
