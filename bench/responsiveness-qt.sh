#!/usr/bin/env bash
# The Qt window during a long run: makes FILES (default 100000) small spec files in a temporary
# folder, starts the window under Xvfb, types both paths and clicks "Generar" with xdotool, and
# until the closing message appears samples the window every PERIOD seconds (default 0.25):
#   move     the window is moved, and the X server asked where it is;
#   ping     the window manager's ping (_NET_WM_PING), answered by the window's own event loop;
#   picture  a picture of the window, whose progress line (Label2) should change between samples.
# Prints one line per sample and a summary. Not part of `make test`; the release build must be
# there (make build).
#   bench/responsiveness-qt.sh [FILES [PERIOD]]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
files="${1:-100000}"
period="${2:-0.25}"
zentil="$here/build/release/bin/zentil"
[ -x "$zentil" ] || { echo "Falta $zentil: make build" >&2; exit 1; }
"$here/scripts/install-deps.sh" responsiveness >/dev/null

work="$(mktemp -d /tmp/zentil-responsiveness.XXXXXX)"
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
gcc -O2 -o "$work/net_wm_ping" "$here/bench/net_wm_ping.c" -lxcb

echo "Making $files spec files in $work/specs ..."
python3 - "$work/specs" "$files" <<'PY'
import os, sys
folder, n = sys.argv[1], int(sys.argv[2])
os.makedirs(folder)
body = b"table_i(cliente)\r\nlevel_i(1,cliente,'',[id,nombre])\r\nrule_i(a,b)\r\nv_i(&x)\r\n"
for i in range(n):
    with open(os.path.join(folder, "obj%06d.spc" % i), "wb") as f:
        f.write(body)
PY

# A display of our own: the first free number from 90.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=":$display"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

cd "$work"  # the window's current folder
LC_ALL=C.UTF-8 "$zentil" >/dev/null 2>&1 &
app=$!
window=""
for _ in $(seq 100); do
  window="$(xdotool search --name '^Zentil Counter$' 2>/dev/null | head -1)" && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "The window did not open" >&2; exit 1; }
xdotool windowmove --sync "$window" 100 100
xdotool windowfocus --sync "$window"
sleep 0.5
echo "At rest the window answers the ping in $("$work/net_wm_ping" "$window" 2000) ms."

# The focus starts in the source box; Tab goes Salir, Generar, "...", the report box.
xdotool type --delay 1 "$work/specs/"
xdotool key Tab Tab Tab Tab
xdotool type --delay 1 "$work/KBReport.csv"
# "Generar" is at 240,2280 twips: 16,152 pixels into the window, 121 by 25.
xdotool mousemove --window "$window" 70 164 click 1
start=$(date +%s%N)

# A picture of the window: during a run only the progress line (Label2) changes in it.
picture() { xwd -silent -id "$window" | md5sum | cut -c1-8; }

printf '%8s  %-9s  %-10s  %8s  %s\n' "ms" "moved to" "reported" "ping ms" "picture"
samples=0 moved=0 answered=0 worst=0 labels=() x=100
while :; do
  now=$(( ($(date +%s%N) - start) / 1000000 ))
  # The run ends with its first message box, titled "Zentil".
  if xdotool search --onlyvisible --name '^Zentil$' >/dev/null 2>&1; then break; fi
  if [ "$now" -gt 600000 ]; then echo "No end after 10 minutes" >&2; exit 1; fi
  x=$(( x == 100 ? 300 : 100 ))
  xdotool windowmove --sync "$window" "$x" 120
  where="$(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1,\2/p')"
  ping="$("$work/net_wm_ping" "$window" 2000 || true)"
  label="$(picture)"
  samples=$((samples + 1))
  [ "${where%,*}" = "$x" ] && moved=$((moved + 1))
  if [ "$ping" != timeout ]; then
    answered=$((answered + 1))
    worst="$(awk -v a="$worst" -v b="$ping" 'BEGIN { print (b > a ? b : a) }')"
  fi
  labels+=("$label")
  printf '%8d  %-9s  %-10s  %8s  %s\n' "$now" "$x,120" "$where" "$ping" "$label"
  sleep "$period"
done
end=$(( ($(date +%s%N) - start) / 1000000 ))
distinct=$(printf '%s\n' "${labels[@]}" | sort -u | wc -l)
echo "Run over $files files: $end ms until the first closing message."
echo "Samples: $samples; moved where asked: $moved; pings answered: $answered (slowest $worst ms);"
echo "Pictures of the window: $distinct different in $samples samples."
[ "$samples" -gt 0 ] && [ "$moved" -eq "$samples" ] && [ "$answered" -eq "$samples" ]
