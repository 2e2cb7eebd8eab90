#!/usr/bin/env bash
# docs/sample-kb-page.png: the page that `zentil-report --summary --compare … --html` writes for
# the sample KB, compared with an earlier report of it, as a real browser draws it (Debian's
# chromium, headless). The earlier KB is a copy of examples/sample-kb/ edited as a KB changes
# between two releases: two objects not written yet, one since removed, a transaction that grew
# and a procedure that shrank. Run by `make page`.
#   scripts/sample-page.sh BIN_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "$1" && pwd)
work=$root/build/sample-page
rm -rf "$work"
mkdir -p "$work/antes"
cd "$work"

# The KB at the earlier release.
cp "$root"/examples/sample-kb/*.spc antes/
rm antes/moneda.trn.spc antes/morosos.rpt.spc
head -n 24 "$root/examples/sample-kb/factura.trn.spc" >antes/factura.trn.spc
{
  cat "$root/examples/sample-kb/cierremes.prc.spc"
  for i in 1 2 3 4 5 6 7 8 9; do
    printf "b_line_i(%d,cmd,'for each Asiento where Periodo = &Periodo')\r\n" "$((40 + i))"
  done
} >antes/cierremes.prc.spc
{
  printf "spec_i([ proc, 'Migracion', 'Procedimiento Migracion' ]).\r\n"
  for i in 1 2 3 4 5 6 7; do
    printf "b_line_i(%d,cmd,'for each ClienteViejo defined by CliVjoId')\r\n" "$i"
  done
} >antes/migracion.prc.spc
"$bin/zentil-report" --quiet antes/ KBReport-anterior.csv >/dev/null

# The KB now, compared with it; paths relative, as a lead would type them.
ln -s "$root/examples/sample-kb" sample-kb
LC_ALL=C.UTF-8 "$bin/zentil-report" --quiet --summary --compare KBReport-anterior.csv \
  --html sample-kb.html sample-kb/ KBReport.csv

# Drawn by chromium at 800 px wide, then the empty page below the content cut away.
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$work/chromium" --hide-scrollbars --window-size=800,2400 \
  --screenshot="$work/page-full.png" "file://$work/sample-kb.html" >/dev/null 2>&1
pngtopnm "$work/page-full.png" | pnmcrop -bottom | pnmtopng >"$root/docs/sample-kb-page.png"
echo "docs/sample-kb-page.png: $(pngtopnm "$root/docs/sample-kb-page.png" | head -c 20 | sed -n 2p)"
