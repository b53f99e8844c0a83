#!/bin/sh
# Runs one Windows test binary under Wine for CTest: wine-test.sh WINE EXE ARGS...
# The first Wine process of a session starts Wine's system processes
# (services.exe, explorer.exe...), which inherit its output and outlive it. If
# that output were CTest's pipe, CTest would wait for them; so the test writes
# to a file that is copied out once the test has ended.
wine=$1
shift
log=$(mktemp)
"$wine" "$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
exit $rc
