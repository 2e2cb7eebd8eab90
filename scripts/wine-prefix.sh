#!/bin/sh
# Makes the Wine prefix that the Windows tests run in, once (build/windows/wine by default), and
# starts its server to stay up a minute past the last program, so that the test programs,
# started one after another, never meet a server on its way out.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${1:-$root/build/windows/wine}"
export WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/.zentil-ready" ]; then
  echo "Preparando Wine en $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Names that begin with "." are ordinary names on Windows; Wine hides them unless told not to.
  wine reg add 'HKCU\Software\Wine' /v ShowDotFiles /d Y /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.zentil-ready"
fi
wineserver -p60 2>/dev/null || true
