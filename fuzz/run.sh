#!/usr/bin/env bash
# Builds the fuzzers (`fuzz` preset) and fuzzes each target for SECONDS seconds (default 60),
# starting from its committed seed corpus. An input that fails is left in
# build/fuzz/artifacts/<target>/; copy it to fuzz/regressions/<target>/ so that the test
# Fuzz.KeptInputs runs it on every build.
#   fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build fuzz

seconds="${1:-60}"
shift || true
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then targets=(scanner_fuzzer report_row_fuzzer saved_report_fuzzer); fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

status=0
for target in "${targets[@]}"; do
  work="build/fuzz/corpus/$target"
  artifacts="build/fuzz/artifacts/$target"
  mkdir -p "$work" "$artifacts"
  echo "== $target: ${seconds} s"
  # The work corpus grows in build/; the committed seeds stay as they are.
  if ! "build/fuzz/bin/$target" "$work" "fuzz/corpus/$target" "fuzz/regressions/$target" \
      -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" 2>"build/fuzz/$target.log"; then
    status=1
    tail -n 40 "build/fuzz/$target.log"
    echo "$target FAILED: the failing input is in $artifacts/"
  else
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+.*DONE)' \
      "build/fuzz/$target.log" || true
  fi
done
exit "$status"
