#!/bin/sh
# Makes the Wine prefix that the Windows tests run in, once (build/windows/wine by default), and
# starts its server, its services and a private X server for a test run; with --stop, ends them.
#   scripts/wine-prefix.sh [--stop] [PREFIX]
# Wine starts its services from the first program of a session, and they keep that program's
# output open: started from a test whose output is read through a pipe, they would hold the
# pipe, and the test, until the session ends.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
stop=0
if [ "${1:-}" = --stop ]; then stop=1; shift; fi
export WINEPREFIX="${1:-$root/build/windows/wine}"
export WINEDEBUG=-all

# The windows of a session are drawn on an Xvfb of its own, whatever display the caller has:
# its display is kept in the prefix, and scripts/wine-run.sh hands it to every program.
stop_x() {
  if [ -f "$WINEPREFIX/.x-pid" ]; then
    kill "$(cat "$WINEPREFIX/.x-pid")" 2>/dev/null || true
    rm -f "$WINEPREFIX/.x-pid" "$WINEPREFIX/.x-display"
  fi
}
start_x() {
  stop_x
  : >"$WINEPREFIX/.x-display.new"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WINEPREFIX/.x-display.new" \
    </dev/null >/dev/null 2>&1 &
  echo $! >"$WINEPREFIX/.x-pid"
  tries=0
  while [ ! -s "$WINEPREFIX/.x-display.new" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then echo "Xvfb no arranca" >&2; exit 1; fi
    sleep 0.1
  done
  echo ":$(head -n1 "$WINEPREFIX/.x-display.new")" >"$WINEPREFIX/.x-display"
  rm -f "$WINEPREFIX/.x-display.new"
  DISPLAY=$(cat "$WINEPREFIX/.x-display")
  export DISPLAY
}

if [ "$stop" -eq 1 ]; then
  wineserver -k 2>/dev/null || true
  stop_x
  exit 0
fi

mkdir -p "$WINEPREFIX"
start_x
if [ ! -f "$WINEPREFIX/.zentil-ready-x11" ]; then
  echo "Preparando Wine en $WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
  # Names that begin with "." are ordinary names on Windows; Wine hides them unless told not to.
  wine reg add 'HKCU\Software\Wine' /v ShowDotFiles /d Y /f </dev/null >/dev/null 2>&1
  # With no window manager on the X server, Wine draws the windows' frames and captions itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f </dev/null >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.zentil-ready-x11"
fi
# Wine links the user's Documents, Desktop, … to the Linux home folder: a program that writes
# there under test would write into the real home. They are folders of the prefix instead.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link" && mkdir "$link"; fi
done
# Wine's own fonts (package fonts-wine: Tahoma, the dialog font, and Marlett, the caption's
# buttons), which this Wine does not look for where Debian puts them.
if [ -d /usr/share/wine/fonts ]; then
  for font in /usr/share/wine/fonts/*.ttf; do
    ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
  done
fi
# A fresh session that lasts ten minutes past the last program: one test run keeps it, and no
# test meets a server on its way out. `scripts/wine-prefix.sh --stop` ends it after the tests.
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p600
wineboot </dev/null >/dev/null 2>&1
