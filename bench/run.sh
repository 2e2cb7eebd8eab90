#!/usr/bin/env bash
# The benchmark run behind `make bench`: makes the corpora (once), runs the scanner
# micro-benchmarks, then times zentil-report against the floor and the general-purpose tools,
# one corpus at a time, and prints medians, ratios and the goals met or not. Checks on the way
# that the reports at --jobs 1, 2 and 32 are the same bytes, and measures peak memory.
#
# Timing goes in rounds (bench/rounds.cpp): each round runs every command of the corpus once,
# in an order that turns by one each round, so that a load that comes and goes falls on all of
# them alike. A ratio is taken within each round (Zentil against the floor of the same round)
# and the median of the rounds is printed with its spread, the first and third quartiles: a
# goal is met when the median ratio is within it.
#
# Usage: bench/run.sh BIN_DIR CORPUS_DIR [A] [B] [C] [D] [E] [F]
# Environment: BENCH_ROUNDS (rounds, default 11), BENCH_WARMUP (rounds not counted, default 1),
# BENCH_REFERENCE (a folder with reports A.csv … F.csv from an earlier build to compare the new
# ones with), BENCH_BEFORE (an earlier build's zentil-report, timed in the same rounds as
# "antes-j1" and "antes-j2").
set -euo pipefail

bin=$(cd "$1" && pwd)
corpus=$2
shift 2
which=("$@")
[ ${#which[@]} -gt 0 ] || which=(A B C D E F)
rounds=${BENCH_ROUNDS:-11}
warmup=${BENCH_WARMUP:-1}

for tool in rg gawk /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "falta $tool (scripts/install-deps.sh lo instala)" >&2; exit 1; }
done

"$bin/zentil-corpus" "$corpus" "${which[@]}"
corpus=$(cd "$corpus" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
goals="$work/metas.txt"
: >"$goals"

echo
echo "== Escáner solo (Google Benchmark, un núcleo) =="
"$bin/scanner_bench" --benchmark_min_time=0.3 2>/dev/null | grep -E '^(BM_|Benchmark|-)'

echo
echo "== Máquina =="
echo "$(nproc) núcleos; $(uname -sr); carga: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$rounds rondas (y $warmup de calentamiento); en cada una, cada orden una vez"

# The summary of one corpus's rounds (CSV from zentil-rounds): per command the median time and
# its quartiles, the median of the per-round ratios to the floor at 2 threads (or to the floor
# of two parts, on a corpus of one file) and to the fastest of rg, grep and wc of the same
# round, and the median user and system times; then the corpus's goals.
summarise() {
  gawk -F, -v corpus="$1" -v goals="$goals" '
    function sorted_stat(values, n, which,    s, i) {
      for (i = 1; i <= n; i++) s[i] = values[i]
      asort(s)
      if (which == "q1") return s[int((n + 3) / 4)]
      if (which == "q3") return s[n + 1 - int((n + 3) / 4)]
      return n % 2 ? s[(n + 1) / 2] : (s[n / 2] + s[n / 2 + 1]) / 2
    }
    # The per-round ratios of command a to command b (b "fastest": the fastest peer).
    function ratios(a, b, out,    r, n, d) {
      n = 0
      for (r = 0; r < rounds; r++) {
        d = b == "fastest" ? fastest[r] : t[r, b]
        if ((r, a) in t && d > 0) out[++n] = t[r, a] / d
      }
      return n
    }
    function stat3(a, b,    v, n) {
      n = ratios(a, b, v)
      if (n == 0) return ""
      return sprintf("%.2f (%.2f–%.2f)", sorted_stat(v, n, "med"), sorted_stat(v, n, "q1"), sorted_stat(v, n, "q3"))
    }
    function goal(text, a, b, limit,    v, n, med, q1, q3, verdict, line) {
      n = ratios(a, b, v)
      if (n == 0) return
      med = sorted_stat(v, n, "med"); q1 = sorted_stat(v, n, "q1"); q3 = sorted_stat(v, n, "q3")
      verdict = med <= limit ? "sí" : "NO"
      line = sprintf("meta %s: %s: mediana %.2f (cuartiles %.2f–%.2f), límite %.2f: %s", corpus, text, med, q1, q3, limit, verdict)
      if (q1 <= limit && q3 > limit) line = line " (los cuartiles abarcan el límite)"
      print line
      print line >> goals
    }
    # First the commands, in their order; then the rounds.
    FNR == NR { split($0, field, "\t"); seen[field[1]] = 1; order[++names] = field[1]; next }
    FNR == 1 { next }
    {
      r = $1; name = $2; t[r, name] = $3; u[r, name] = $4; s[r, name] = $5
      if (r + 1 > rounds) rounds = r + 1
      if (name == "wc -l" || name == "grep -rc ^" || name == "rg -c ''") {
        if (!(r in fastest) || $3 < fastest[r]) fastest[r] = $3
      }
    }
    END {
      floor = ("floor-partes-2" in seen) ? "floor-partes-2" : "floor-2"
      printf "%-15s %20s %20s %20s %11s %11s\n", "orden", "mediana ms (q1–q3)", "x " floor, "x par más rápido", "usuario ms", "sistema ms"
      for (i = 1; i <= names; i++) {
        name = order[i]; n = 0
        for (r = 0; r < rounds; r++) if ((r, name) in t) { n++; tt[n] = t[r, name]; uu[n] = u[r, name]; ss[n] = s[r, name] }
        printf "%-15s %20s %20s %20s %11.1f %11.1f\n", name,
          sprintf("%.1f (%.1f–%.1f)", sorted_stat(tt, n, "med"), sorted_stat(tt, n, "q1"), sorted_stat(tt, n, "q3")),
          stat3(name, floor), stat3(name, "fastest"), sorted_stat(uu, n, "med"), sorted_stat(ss, n, "med")
      }
      if ("antes-j2" in seen) printf "zentil-j2 / antes-j2: %s; zentil-j1 / antes-j1: %s\n", stat3("zentil-j2", "antes-j2"), stat3("zentil-j1", "antes-j1")
      printf "zentil-j2 / zentil-j1: %s\n", stat3("zentil-j2", "zentil-j1")
      if (corpus == "D") {
        goal("zentil-j2 <= 2.0 x floor-2", "zentil-j2", "floor-2", 2.0)
        goal("zentil-j2 <= 0.6 x el más rápido de rg, grep y wc", "zentil-j2", "fastest", 0.6)
        goal("zentil-j2 <= 0.6 x zentil-j1", "zentil-j2", "zentil-j1", 0.6)
      }
      if (corpus == "B") {
        goal("zentil-j2 <= 1.25 x floor-2", "zentil-j2", "floor-2", 1.25)
        goal("zentil-j2 <= 0.8 x el más rápido de rg, grep y wc", "zentil-j2", "fastest", 0.8)
      }
      if (corpus == "E") {
        goal("zentil-j2 <= 0.6 x zentil-j1", "zentil-j2", "zentil-j1", 0.6)
        goal("zentil-j2 <= 1.6 x floor-partes-2 (sus dos mitades en 2 hilos)", "zentil-j2", "floor-partes-2", 1.6)
        goal("zentil-j2 <= 1.3 x wc -l", "zentil-j2", "wc -l", 1.3)
      }
    }' "$work/$1.commands" "$work/$1.csv"
}

for c in "${which[@]}"; do
  dir="$corpus/$c"
  files=$(find "$dir" -maxdepth 1 -type f | wc -l)
  bytes=$(du -sb --apparent-size "$dir" | cut -f1)
  echo
  echo "== Corpus $c: $files archivos, $((bytes / 1000000)) MB =="

  # Same bytes whatever the number of jobs, and the same as an earlier build's when given.
  for j in 1 2 32; do "$bin/zentil-report" --quiet --jobs $j "$dir" "$work/j$j.csv" >/dev/null; done
  if cmp -s "$work/j1.csv" "$work/j2.csv" && cmp -s "$work/j1.csv" "$work/j32.csv"; then
    echo "informe --jobs 1 = --jobs 2 = --jobs 32: idéntico"
  else
    echo "informes --jobs 1, 2 y 32: DIFIEREN" >&2
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
  peak=0
  for j in 1 2 32; do
    kb=$(/usr/bin/time -f %M "$bin/zentil-report" --quiet --jobs $j "$dir" "$work/m.csv" 2>&1 >/dev/null)
    [ "$kb" -gt "$peak" ] && peak=$kb
    line="memoria máxima --jobs $j: $((kb / 1024)) MB ($kb KB)"
    if [ -n "${BENCH_BEFORE:-}" ]; then
      kb=$(/usr/bin/time -f %M "$BENCH_BEFORE" --quiet --jobs $j "$dir" "$work/m.csv" 2>&1 >/dev/null)
      line="$line; antes: $((kb / 1024)) MB ($kb KB)"
    fi
    echo "$line"
  done
  line="meta $c: memoria máxima < 32 MB a --jobs 1, 2 y 32: $((peak / 1024)) MB: $([ "$peak" -lt $((32 * 1024)) ] && echo sí || echo NO)"
  echo "$line"
  echo "$line" >>"$goals"

  # The commands of a round, one a line: name, program and arguments, separated by tabs. Peers
  # get the file names from find, as a user's script would, except grep and rg, which walk the
  # folder themselves.
  {
    printf 'floor-1\t%s\t%s\t1\n' "$bin/zentil-floor" "$dir"
    printf 'floor-2\t%s\t%s\t2\n' "$bin/zentil-floor" "$dir"
    if [ "$files" -eq 1 ]; then printf 'floor-partes-2\t%s\t--partes\t%s\t2\n' "$bin/zentil-floor" "$dir"; fi
    printf 'zentil-j1\t%s\t--quiet\t--jobs\t1\t%s\t%s\n' "$bin/zentil-report" "$dir" "$work/r1.csv"
    printf 'zentil-j2\t%s\t--quiet\t--jobs\t2\t%s\t%s\n' "$bin/zentil-report" "$dir" "$work/r2.csv"
    if [ -n "${BENCH_BEFORE:-}" ]; then
      printf 'antes-j1\t%s\t--quiet\t--jobs\t1\t%s\t%s\n' "$BENCH_BEFORE" "$dir" "$work/a1.csv"
      printf 'antes-j2\t%s\t--quiet\t--jobs\t2\t%s\t%s\n' "$BENCH_BEFORE" "$dir" "$work/a2.csv"
    fi
    printf 'wc -l\tsh\t-c\tfind %s -type f -print0 | xargs -0 wc -l\n' "$dir"
    printf 'grep -rc ^\tgrep\t-rc\t^\t%s\n' "$dir"
    printf "rg -c ''\\trg\\t--no-ignore\\t-c\\t\\t%s\\n" "$dir"
  } >"$work/$c.commands"
  "$bin/zentil-rounds" "$work/$c.commands" "$rounds" "$warmup" >"$work/$c.csv"
  summarise "$c"

  # What --summary, --compare, --json and --html add to a run, on the corpora of many small files
  # (B) and of busy lines (D). The earlier report is this run's with every 50th row gone and
  # every 20th row's lines changed, as between two releases; goal: at most 5 % more time, and
  # under 32 MB of memory on B.
  if [ "$c" = B ] || [ "$c" = D ]; then
    awk -F, 'NR == 1 || NR % 50 != 0 { if (NR > 1 && NR % 20 == 0) $2 = $2 + 7; print }' OFS=, \
      "$work/j1.csv" >"$work/anterior.csv"
    all=(--summary --compare "$work/anterior.csv" --json --html "$work/pagina.html")
    kb=$(/usr/bin/time -f %M "$bin/zentil-report" --quiet --jobs 2 "${all[@]}" "$dir" "$work/t.csv" 2>&1 >/dev/null)
    kb0=$(/usr/bin/time -f %M "$bin/zentil-report" --quiet --jobs 2 "$dir" "$work/t.csv" 2>&1 >/dev/null)
    {
      printf 'zentil-j2\t%s\t--quiet\t--jobs\t2\t%s\t%s\n' "$bin/zentil-report" "$dir" "$work/t.csv"
      printf 'con todo\t%s\t--quiet\t--jobs\t2' "$bin/zentil-report"
      printf '\t%s' "${all[@]}" "$dir" "$work/t.csv"
      printf '\n'
    } >"$work/$c-kb.commands"
    "$bin/zentil-rounds" "$work/$c-kb.commands" "$rounds" "$warmup" >"$work/$c-kb.csv"
    gawk -F, -v corpus="$c" -v kb="$kb" -v kb0="$kb0" -v goals="$goals" '
      NR == 1 { next }
      { t[$1, $2] = $3; if ($1 + 1 > rounds) rounds = $1 + 1 }
      END {
        for (r = 0; r < rounds; r++) v[r + 1] = 100 * (t[r, "con todo"] / t[r, "zentil-j2"] - 1)
        asort(v)
        n = rounds; extra = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
        q = int((n + 3) / 4)
        line = sprintf("meta %s: resumen, comparación, JSON y página: %+.1f %% (cuartiles %+.1f–%+.1f), límite +5 %%: %s", corpus, extra, v[q], v[n + 1 - q], extra <= 5 ? "sí" : "NO")
        print line; print line >> goals
        printf "memoria máxima --jobs 2: %d MB con todo, %d MB sin opciones\n", kb / 1024, kb0 / 1024
        if (corpus == "B") {
          line = sprintf("meta B: memoria con todo < 32 MB: %d MB: %s", kb / 1024, kb < 32 * 1024 ? "sí" : "NO")
          print line; print line >> goals
        }
      }' "$work/$c-kb.csv"
  fi
done

echo
echo "== Metas =="
cat "$goals"
