#!/bin/sh
# Runs a Windows GUI test program under Wine on a private Xvfb display, then
# turns the screenshot it left (a .bmp) into a .png kept beside it.
# Usage: run_gui_test.sh WINE TEST.exe SCREENSHOT_BASENAME [test arguments...]
# WINEPREFIX and the other Wine variables come from the environment (CTest).
set -u
wine=$1
test_exe=$2
shot=$3
shift 3

# The Wine prefix is shared with the other test binaries. Its wineserver and
# desktop process outlive their last client for a moment; one started without
# a display would be reused, and the screenshot would be black. Wait for it to
# end before and after the session (wineserver -w returns at once when none
# runs), within a bound: a process left behind by another test can keep the
# server up, and the checks do not need the screenshot.
wineserver=$(dirname "$(command -v "$wine")")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

# A process left behind by another test (a console host, say) can keep the
# server and its display-less desktop up for good. CTest runs the Windows
# tests one at a time, so ending what is left is safe.
timeout 20 "$wineserver" -w || { "$wineserver" -k; timeout 20 "$wineserver" -w; }

# Xvfb runs no window manager, so nobody would draw the windows' frames and
# captions in the screenshot; with this setting Wine draws them itself.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

rm -f "$shot.bmp" "$shot.png"
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  server=$1; shift
  timeout 30 "$server" -w
  "$@"
  rc=$?
  timeout 30 "$server" -w
  exit $rc' sh "$wineserver" "$wine" "$test_exe" --gtest_brief=1 "$@"
rc=$?

if [ -f "$shot.bmp" ]; then
  if convert "$shot.bmp" "$shot.png"; then
    rm -f "$shot.bmp"
    echo "screenshot: $shot.png"
  fi
fi
exit $rc
