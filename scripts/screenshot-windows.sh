#!/bin/sh
# docs/window-windows.png: zentil.exe under Wine, on the X server of the test prefix's session
# (scripts/wine-prefix.sh), with both boxes filled by typing into them, as a user would.
#   scripts/screenshot-windows.sh [OUTPUT]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="${1:-$root/docs/window-windows.png}"
export WINEPREFIX="$root/build/windows/wine"
"$root/scripts/wine-prefix.sh"
DISPLAY=$(cat "$WINEPREFIX/.x-display")
export DISPLAY

"$root/scripts/wine-run.sh" "$root/build/windows/bin/zentil.exe" </dev/null >/dev/null 2>&1 &
program=$!
trap 'kill "$program" 2>/dev/null || true; "$root/scripts/wine-prefix.sh" --stop' EXIT
window=$(xdotool search --sync --name '^Zentil Counter$' | head -n1)
xdotool windowmove --sync "$window" 40 40
xdotool windowfocus --sync "$window"
sleep 1
# The focus starts in txtPath; four Tabs reach txtDest.
xdotool type --delay 20 'C:\KB\ventas\specs\'
xdotool key --delay 100 Tab Tab Tab Tab
xdotool type --delay 20 'C:\KB\informes\KBReport.csv'
sleep 1
xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng -compression 9 >"$out"
echo "$out"
