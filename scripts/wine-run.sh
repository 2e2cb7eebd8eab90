#!/bin/sh
# Runs a Windows program under Wine for the build and the tests: the project's own Wine prefix
# (build/windows/wine, made by scripts/wine-prefix.sh) and the X server of its session, Wine's
# own messages off, and a UTF-8 locale, without which Wine garbles arguments outside ASCII.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/windows/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
if [ -s "$WINEPREFIX/.x-display" ]; then DISPLAY=$(cat "$WINEPREFIX/.x-display"); export DISPLAY; fi
case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
  *[Uu][Tt][Ff]-8* | *[Uu][Tt][Ff]8*) ;;
  *) export LC_ALL=C.UTF-8 ;;
esac
exec wine "$@"
