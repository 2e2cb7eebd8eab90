#!/usr/bin/env bash
# Does zentil.exe's window stay alive through a long run? Under Wine, on the test prefix's Xvfb:
# makes FILES (default 100000) small spec files, starts the window, types both paths and presses
# "Generar" with real keys (xdotool), and during the run, every SECONDS (default 1):
#  - moves the window and reads back where it is (it must follow),
#  - grabs it (it must be drawn anew: the progress line changes),
# while bench/window_ping.cpp asks its thread every 250 ms, as Windows does before calling a
# window "not responding" (WM_NULL, SMTO_ABORTIFHUNG, 5 s). Prints a summary; the samples and
# pictures stay in build/responsiveness/. Needs `make windows` first. Not part of CI.
#   bench/responsiveness-windows.sh [FILES] [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
files=${1:-100000}
every=${2:-1}
work="$root/build/responsiveness"
bin="$root/build/windows/bin"
export WINEPREFIX="$root/build/windows/wine"

x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -static -o "$bin/window_ping.exe" \
  "$root/bench/window_ping.cpp"
if [ ! -f "$work/.count-$files" ]; then
  rm -rf "$work/specs" && mkdir -p "$work/specs"
  python3 - "$work/specs" "$files" <<'PY'
import sys
folder, n = sys.argv[1], int(sys.argv[2])
for i in range(n):
    with open(f"{folder}/obj{i:06d}.trn.spc", "wb") as f:
        f.write(b"trn_i(obj)\r\nattri_i(Codigo,numeric)\r\nrule_i(error,'falta')\r\n")
PY
  rm -f "$work"/.count-* && touch "$work/.count-$files"
fi
rm -f "$work"/shot-*.png "$work/KBReport.csv"

"$root/scripts/wine-prefix.sh"
DISPLAY=$(cat "$WINEPREFIX/.x-display")
export DISPLAY
"$root/scripts/wine-run.sh" "$bin/zentil.exe" </dev/null >/dev/null 2>&1 &
program=$!
trap 'kill "$program" 2>/dev/null || true; "$root/scripts/wine-prefix.sh" --stop' EXIT
window=$(xdotool search --sync --name '^Zentil Counter$' | head -n1)
xdotool windowfocus --sync "$window"
sleep 1
xdotool type --delay 10 "$(winepath -w "$work/specs/" 2>/dev/null)"
xdotool key --delay 100 Tab Tab Tab Tab
xdotool type --delay 10 "$(winepath -w "$work/KBReport.csv" 2>/dev/null)"
"$root/scripts/wine-run.sh" "$bin/window_ping.exe" 900 250 >"$work/pings.tsv" 2>/dev/null &
pinger=$!
sleep 1
# From txtDest two Shift+Tabs reach "Generar"; Space presses it.
xdotool key --delay 100 shift+Tab shift+Tab space
started=$(date +%s.%N)

samples=0 moved=0 drawn=0 last=""
while ! xdotool search --name '^Zentil$' >/dev/null 2>&1; do
  sleep "$every"
  x=$((50 + (samples % 2) * 200))
  xdotool windowmove --sync "$window" "$x" 60 2>/dev/null || true
  geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),.*/\1/p')
  [ "$geometry" = "$x" ] && moved=$((moved + 1))
  xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng >"$work/shot-$samples.png"
  sum=$(md5sum <"$work/shot-$samples.png")
  [ "$sum" != "$last" ] && drawn=$((drawn + 1))
  last=$sum
  samples=$((samples + 1))
done
ended=$(date +%s.%N)
# The two closing messages; then the window is at rest again.
for box in 1 2; do
  message=$(xdotool search --sync --name '^Zentil$' | head -n1)
  xdotool windowfocus --sync "$message" key Return
  sleep 1
done
kill "$pinger" 2>/dev/null || true

echo "files: $files; run until the first closing message: $(echo "$ended - $started" | bc) s"
echo "samples during the run: $samples; window followed the move: $moved; picture changed: $drawn"
awk -F'\t' '$2 == "hung" { hung++ } $2 != "hung" { n++; if ($2 > max) max = $2; sum += $2 }
  END { printf "pings: %d answered, %d hung; slowest answer %d ms, mean %.1f ms\n", n, hung, max, sum / n }' \
  "$work/pings.tsv"
echo "progress seen by the pings: $(cut -f3 "$work/pings.tsv" | sort -u | wc -l) different texts"
