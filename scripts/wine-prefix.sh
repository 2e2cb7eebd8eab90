#!/bin/sh
# Makes the Wine prefix that the Windows tests run in, once (build/windows/wine by default), and
# starts its server and services for a test run. Wine starts its services from the first program
# of a session, and they keep that program's output open: started from a test whose output is
# read through a pipe, they would hold the pipe, and the test, until the session ends.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${1:-$root/build/windows/wine}"
export WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/.zentil-ready" ]; then
  echo "Preparando Wine en $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
  # Names that begin with "." are ordinary names on Windows; Wine hides them unless told not to.
  wine reg add 'HKCU\Software\Wine' /v ShowDotFiles /d Y /f </dev/null >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.zentil-ready"
fi
# A fresh session that lasts ten minutes past the last program: one test run keeps it, and no
# test meets a server on its way out. `make test-windows` ends it after the tests.
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p600
wineboot </dev/null >/dev/null 2>&1
