#!/usr/bin/env bash
# What --history costs on a long-lived KB: 200 saved reports of 10,000 rows each (made once,
# from a fixed seed: the same objects release after release, a few hundred of them changing and
# a few added and removed each time), drawn as text, and as JSON and a page at once. Goals: well
# under two seconds, and under 32 MB of memory, which does not grow with the releases.
#
# Usage: bench/history.sh BIN_DIR CORPUS_DIR   (run by `make bench` after bench/run.sh)
set -euo pipefail
bin=$(cd "$1" && pwd)
corpus=$2
releases=200 rows=10000
dir=$corpus/H
mkdir -p "$corpus"
if [ ! -f "$corpus/H.done" ] || [ "$(cat "$corpus/H.done")" != "$releases x $rows v1" ]; then
  rm -rf "$dir" && mkdir -p "$dir"
  awk -v releases=$releases -v rows=$rows -v dir="$dir" 'BEGIN {
    srand(7)
    header = "Archivo,L\355neas,Tama\361o,Tablas,Atrib. tab.,Tablas total,Ctrl. IR dlt.,Atrib. total,Print blocks,Niveles,Cant. Reglas,Comandos,Vars\r"
    for (i = 0; i < rows + 2000; i++) { lines[i] = int(rand() * 400) - 5; alive[i] = i < rows }
    for (r = 1; r <= releases; r++) {
      for (k = 0; k < 300; k++) { i = int(rand() * (rows + 2000)); lines[i] += int(rand() * 40) - 15 }
      for (k = 0; k < 10; k++) { i = int(rand() * (rows + 2000)); alive[i] = !alive[i] }
      file = sprintf("%s/KBReport-%d.%d.csv", dir, int((r - 1) / 20) + 1, (r - 1) % 20)
      print header > file
      for (i = 0; i < rows + 2000; i++) {
        if (alive[i]) printf "objeto%05d.trn.spc,%d,%d,1,3,2,0,4,0,1,2,1,0\r\n", i, lines[i], lines[i] * 60 + 300 > file
      }
      close(file)
    }
  }'
  echo "$releases x $rows v1" >"$corpus/H.done"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo
echo "== Historia: $releases informes guardados de unas $rows filas ($(du -sm "$dir" | cut -f1) MB) =="
# Timed in rounds, as the corpora are, by zentil-rounds, which also gives each run's peak memory.
printf 'texto\t%s\t--history\t%s\n' "$bin/zentil-report" "$dir" >"$work/h.commands"
printf 'todo\t%s\t--json\t--html\t%s\t--history\t%s\n' "$bin/zentil-report" \
  "$work/historia.html" "$dir" >>"$work/h.commands"
"$bin/zentil-rounds" "$work/h.commands" "${BENCH_ROUNDS:-11}" "${BENCH_WARMUP:-1}" >"$work/h.csv"
tail -n +2 "$work/h.csv" | sort -t, -k3,3g | awk -F, '
  { wall[$2, ++n[$2]] = $3; if ($6 > kb[$2]) kb[$2] = $6 }
  END {
    t = wall["texto", int((n["texto"] + 1) / 2)]; a = wall["todo", int((n["todo"] + 1) / 2)]
    printf "texto: %.1f ms, %d MB; JSON y página: %.1f ms, %d MB (medianas)\n", t, kb["texto"] / 1024, a, kb["todo"] / 1024
    worst = t > a ? t : a; most = kb["texto"] > kb["todo"] ? kb["texto"] : kb["todo"]
    printf "metas: < 2000 ms: %s (%.2f s); < 32 MB: %s\n", (worst < 2000 ? "sí" : "NO"), worst / 1000, (most < 32 * 1024 ? "sí" : "NO")
  }'
