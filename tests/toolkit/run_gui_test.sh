#!/bin/sh
# Runs a Windows GUI test program under Wine on a private Xvfb display.
# Usage: run_gui_test.sh WINE PROGRAM [ARGUMENTS...]
# VARNEL_TEST_DPI (96, 144, 192...), when set, is the scale the program runs
# at: Wine reads HKCU\Control Panel\Desktop LogPixels when a process starts.
# The prefix is shared with the other Windows tests, so the value is removed
# again afterwards (Wine then falls back to 96). The screen grows with the
# scale, as a high-DPI monitor has more pixels: 1280 x 1024 at 96 DPI.
# VARNEL_TEST_SCREEN_DPI sizes the screen for a scale that the program sets
# itself later (a child process at 144 DPI), without setting LogPixels.
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
# The registry is changed inside the display's session: the first Wine
# process starts the desktop, which must see the display.
scale=${VARNEL_TEST_SCREEN_DPI:-${VARNEL_TEST_DPI:-96}}
screen="$((1280 * scale / 96))x$((1024 * scale / 96))x24"
WINESERVER_CMD=$wineserver TEST_DPI=${VARNEL_TEST_DPI:-} exec xvfb-run -a -s "-screen 0 $screen" \
  sh -c '
    wine=$1
    key="HKCU\\Control Panel\\Desktop"
    if [ -n "$TEST_DPI" ]; then
      "$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$TEST_DPI" /f >/dev/null 2>&1
    fi
    # Xvfb runs no window manager: Wine draws the frames and captions itself,
    # so that the screenshots show them (the program tests set the same).
    "$wine" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /d N /f >/dev/null 2>&1
    "$@"; rc=$?
    if [ -n "$TEST_DPI" ]; then "$wine" reg delete "$key" /v LogPixels /f >/dev/null 2>&1; fi
    timeout 60 "$WINESERVER_CMD" -w; exit $rc' sh "$wine" "$@"
