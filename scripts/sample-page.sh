#!/usr/bin/env bash
# docs/sample-kb-page.png: the page that `zentil-report --summary --compare … --html` writes for
# the sample KB, compared with an earlier report of it, as a real browser draws it (Debian's
# chromium, headless). The earlier KB is a copy of examples/sample-kb/ edited as a KB changes
# between two releases: two objects not written yet, one since removed, a transaction that grew
# and a procedure that shrank. docs/sample-kb-history.png: the page of `--history`, the sample
# KB across five releases, the first three made by editing copies of it further, each measured
# and kept with --archive as a release would be. Run by `make page`.
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

# Three releases before it: the first transactions and procedures; the reports and the staff;
# a conversion procedure written for one release and dropped in the next.
kb=$root/examples/sample-kb
mkdir -p v1.0 v1.1 v1.2
for f in cliente factura pedido producto proveedor; do cp "$kb/$f.trn.spc" v1.0/; done
cp "$kb/calcsaldo.prc.spc" "$kb/actualizarstock.prc.spc" v1.0/
head -n 20 "$kb/cliente.trn.spc" >v1.0/cliente.trn.spc
{
  cat "$kb/proveedor.trn.spc"
  for i in 1 2 3 4 5; do printf "b_line_i(%d,cmd,'for each Proveedor where PrvEstado = 9')\r\n" "$i"; done
} >v1.0/proveedor.trn.spc
cp v1.0/*.spc v1.1/
for f in empleado.trn deposito.trn cierremes.prc depurarlog.prc comisiones.rpt inventario.rpt \
  listaclientes.rpt ventasmes.rpt; do cp "$kb/$f.spc" v1.1/; done
cp v1.1/*.spc v1.2/
cp "$kb/importarprecios.prc.spc" "$kb/enviaravisos.prc.spc" "$kb/stockbajo.rpt.spc" v1.2/
cp antes/migracion.prc.spc antes/cierremes.prc.spc v1.2/
{
  printf "spec_i([ proc, 'Conversion', 'Procedimiento Conversion' ]).\r\n"
  for i in $(seq 1 60); do
    printf "b_line_i(%d,cmd,'for each ClienteViejo where CliVjoId = &Id')\r\n" "$i"
  done
} >v1.2/conversion.prc.spc
for v in 1.0 1.1 1.2; do
  "$bin/zentil-report" --quiet --archive historial --label "$v" "v$v/" KBReport.csv >/dev/null
done
"$bin/zentil-report" --quiet --archive historial --label 1.3 antes/ KBReport.csv >/dev/null

# The KB now, compared with it; paths relative, as a lead would type them.
ln -s "$root/examples/sample-kb" sample-kb
LC_ALL=C.UTF-8 "$bin/zentil-report" --quiet --summary --compare KBReport-anterior.csv \
  --html sample-kb.html sample-kb/ KBReport.csv

# The KB now as the fifth release of its history.
LC_ALL=C.UTF-8 "$bin/zentil-report" --quiet --top 5 --history historial/ --label 1.4 \
  --html sample-kb-history.html sample-kb/ KBReport-historia.csv >/dev/null

# Drawn by chromium at 800 px wide, then the empty page below the content cut away.
for page in sample-kb:sample-kb-page sample-kb-history:sample-kb-history; do
  picture=${page#*:} page=${page%%:*}
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/chromium" --hide-scrollbars --window-size=800,2400 \
    --screenshot="$work/$page-full.png" "file://$work/$page.html" >/dev/null 2>&1
  pngtopnm "$work/$page-full.png" | pnmcrop -bottom | pnmtopng >"$root/docs/$picture.png"
  echo "docs/$picture.png: $(pngtopnm "$root/docs/$picture.png" | head -c 20 | sed -n 2p)"
done
