#!/usr/bin/env bash
# The benchmark run behind `make bench`: makes the corpora (once), runs the scanner
# micro-benchmarks, then times zentil-report against the floor and the general-purpose tools
# with hyperfine, one corpus at a time, and prints medians and ratios. Checks on the way that
# the reports at --jobs 1 and 2 are the same bytes, and measures peak memory.
#
# Usage: bench/run.sh BIN_DIR CORPUS_DIR [A] [B] [C] [D]
# Environment: BENCH_RUNS (timed runs per command, default 10), BENCH_REFERENCE (a folder with
# reports A.csv … D.csv from an earlier build to compare the new ones with), BENCH_BEFORE (an
# earlier build's zentil-report, timed in the same runs as "antes-j1" and "antes-j2", beside
# "floor-2-antes", the floor with its buffer where it was before, 16 bytes into a page).
set -euo pipefail

bin=$(cd "$1" && pwd)
corpus=$2
shift 2
which=("$@")
[ ${#which[@]} -gt 0 ] || which=(A B C D)
runs=${BENCH_RUNS:-10}

for tool in hyperfine rg awk /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "falta $tool (scripts/install-deps.sh lo instala)" >&2; exit 1; }
done

"$bin/zentil-corpus" "$corpus" "${which[@]}"
corpus=$(cd "$corpus" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo
echo "== Escáner solo (Google Benchmark, un núcleo) =="
"$bin/scanner_bench" --benchmark_min_time=0.3 2>/dev/null | grep -E '^(BM_|Benchmark|-)'

echo
echo "== Máquina =="
echo "$(nproc) núcleos; $(uname -sr); carga: $(cut -d' ' -f1-3 /proc/loadavg)"

for c in "${which[@]}"; do
  dir="$corpus/$c"
  files=$(find "$dir" -maxdepth 1 -type f | wc -l)
  bytes=$(du -sb --apparent-size "$dir" | cut -f1)
  echo
  echo "== Corpus $c: $files archivos, $((bytes / 1000000)) MB =="

  # Same bytes whatever the number of jobs, and the same as an earlier build's when given.
  "$bin/zentil-report" --quiet --jobs 1 "$dir" "$work/j1.csv" >/dev/null
  "$bin/zentil-report" --quiet --jobs 2 "$dir" "$work/j2.csv" >/dev/null
  if cmp -s "$work/j1.csv" "$work/j2.csv"; then
    echo "informe --jobs 1 = --jobs 2: idéntico"
  else
    echo "informe --jobs 1 y --jobs 2: DIFIEREN" >&2
    exit 1
  fi
  if [ -n "${BENCH_REFERENCE:-}" ] && [ -f "$BENCH_REFERENCE/$c.csv" ]; then
    if cmp -s "$work/j1.csv" "$BENCH_REFERENCE/$c.csv"; then
      echo "informe = referencia $BENCH_REFERENCE/$c.csv: idéntico"
    else
      echo "informe y referencia $BENCH_REFERENCE/$c.csv: DIFIEREN" >&2
      exit 1
    fi
  fi
  for j in 1 2 32; do
    kb=$(/usr/bin/time -f %M "$bin/zentil-report" --quiet --jobs $j "$dir" "$work/m.csv" 2>&1 >/dev/null)
    line="memoria máxima --jobs $j: $((kb / 1024)) MB ($kb KB)"
    if [ -n "${BENCH_BEFORE:-}" ]; then
      kb=$(/usr/bin/time -f %M "$BENCH_BEFORE" --quiet --jobs $j "$dir" "$work/m.csv" 2>&1 >/dev/null)
      line="$line; antes: $((kb / 1024)) MB ($kb KB)"
    fi
    echo "$line"
  done
  before=()
  if [ -n "${BENCH_BEFORE:-}" ]; then
    before=(-n "antes-j1" "$BENCH_BEFORE --quiet --jobs 1 $dir $work/r.csv"
            -n "antes-j2" "$BENCH_BEFORE --quiet --jobs 2 $dir $work/r.csv"
            -n "floor-2-antes" "$bin/zentil-floor $dir 2 16")
  fi

  # Peers get the file names from find, as a user's script would; xargs keeps the argument
  # lists within the system's limit. rg walks the folder itself (and ignores no file).
  list="find $dir -type f -print0 | xargs -0"
  hyperfine --style basic --warmup 2 --runs "$runs" --output=pipe --export-csv "$work/$c.csv" \
    -n "floor-1" "$bin/zentil-floor $dir 1" \
    -n "floor-2" "$bin/zentil-floor $dir 2" \
    -n "zentil-j1" "$bin/zentil-report --quiet --jobs 1 $dir $work/r.csv" \
    -n "zentil-j2" "$bin/zentil-report --quiet --jobs 2 $dir $work/r.csv" \
    "${before[@]}" \
    -n "wc -l" "$list wc -l" \
    -n "grep -c ^" "$list grep -c ^" \
    -n "rg -c ''" "rg --no-ignore -c '' $dir" \
    -n "awk" "$list awk 'FNR == 1 && NR > 1 { print f, n } { f = FILENAME; n = FNR } END { print f, n }'" \
    >"$work/$c.log" 2>&1 || { cat "$work/$c.log" >&2; exit 1; }

  awk -F, -v corpus="$c" '
    NR == 1 { next }
    {
      name[NR] = $1; med[NR] = $4 * 1000; usr[NR] = $5 * 1000; sys[NR] = $6 * 1000; n = NR
      if ($1 == "floor-1") f1 = $4 * 1000
      if ($1 == "floor-2") f2 = $4 * 1000
      if ($1 == "zentil-j1") z1 = $4 * 1000
      if ($1 == "zentil-j2") z2 = $4 * 1000
      if ($1 == "antes-j2") a2 = $4 * 1000
      if ($1 == "floor-2-antes") fa = $4 * 1000
      if ($1 !~ /^(floor|zentil|antes)/ && (best == "" || $4 * 1000 < best)) { best = $4 * 1000; bestname = $1 }
      if ($1 !~ /^(floor|zentil|antes|awk)/ && (fast == "" || $4 * 1000 < fast)) fast = $4 * 1000
    }
    END {
      printf "%-12s %12s %12s %12s %12s %12s\n", "orden", "mediana ms", "x floor-2", "x mejor par", "usuario ms", "sistema ms"
      for (i = 2; i <= n; i++) printf "%-12s %12.1f %12.2f %12.2f %12.1f %12.1f\n", name[i], med[i], med[i] / f2, med[i] / best, usr[i], sys[i]
      printf "mejor par: %s; zentil-j2 / zentil-j1 = %.2f; zentil-j1 / floor-1 = %.2f\n", bestname, z2 / z1, z1 / f1
      if (fa > 0) printf "con el floor de antes (floor-2-antes): zentil-j2 %.2f x, antes-j2 %.2f x\n", z2 / fa, a2 / fa
      if (corpus == "A") printf "metas A: j2 <= 1.5 x floor-2: %s; j2 <= 0.5 x mejor par: %s; j2 <= 0.6 x j1: %s\n", (z2 <= 1.5 * f2 ? "sí" : "NO"), (z2 <= 0.5 * best ? "sí" : "NO"), (z2 <= 0.6 * z1 ? "sí" : "NO")
      if (corpus == "B") printf "metas B: j2 <= 1.25 x floor-2: %s; j2 <= 0.8 x mejor par: %s\n", (z2 <= 1.25 * f2 ? "sí" : "NO"), (z2 <= 0.8 * best ? "sí" : "NO")
      if (corpus == "D") printf "metas D: j2 <= 2.0 x floor-2: %s; j2 <= 0.6 x el más rápido de rg, grep y wc: %s (%.2f); j2 <= 0.6 x j1: %s\n", (z2 <= 2.0 * f2 ? "sí" : "NO"), (z2 <= 0.6 * fast ? "sí" : "NO"), z2 / fast, (z2 <= 0.6 * z1 ? "sí" : "NO")
    }' "$work/$c.csv"

  # What --summary, --compare, --json and --html add to a run, on the corpora of many small files
  # (B) and of busy lines (D). The earlier report is this run's with every 50th row gone and
  # every 20th row's lines changed, as between two releases; goal: at most 5 % more time, and
  # under 32 MB of memory on B.
  if [ "$c" = B ] || [ "$c" = D ]; then
    awk -F, 'NR == 1 || NR % 50 != 0 { if (NR > 1 && NR % 20 == 0) $2 = $2 + 7; print }' OFS=, \
      "$work/j1.csv" >"$work/anterior.csv"
    all="--summary --compare $work/anterior.csv --json --html $work/pagina.html"
    kb=$(/usr/bin/time -f %M "$bin/zentil-report" --quiet --jobs 2 $all "$dir" "$work/t.csv" 2>&1 >/dev/null)
    kb0=$(/usr/bin/time -f %M "$bin/zentil-report" --quiet --jobs 2 "$dir" "$work/t.csv" 2>&1 >/dev/null)
    hyperfine --style basic --warmup 2 --runs "$runs" --output=pipe --export-csv "$work/$c-kb.csv" \
      -n "zentil-j2" "$bin/zentil-report --quiet --jobs 2 $dir $work/t.csv" \
      -n "zentil-j2 con todo" "$bin/zentil-report --quiet --jobs 2 $all $dir $work/t.csv" \
      >"$work/$c-kb.log" 2>&1 || { cat "$work/$c-kb.log" >&2; exit 1; }
    awk -F, -v corpus="$c" -v kb="$kb" -v kb0="$kb0" '
      NR == 2 { plain = $4 * 1000 } NR == 3 { all = $4 * 1000 }
      END {
        extra = 100 * (all / plain - 1)
        printf "resumen, comparación, JSON y página: %.1f ms frente a %.1f ms, %+.1f %% (meta: <= 5 %%: %s)\n", all, plain, extra, (extra <= 5 ? "sí" : "NO")
        printf "memoria máxima --jobs 2: %d MB con todo, %d MB sin opciones", kb / 1024, kb0 / 1024
        if (corpus == "B") printf " (meta B: < 32 MB: %s)", (kb < 32 * 1024 ? "sí" : "NO")
        printf "\n"
      }' "$work/$c-kb.csv"
  fi
done
