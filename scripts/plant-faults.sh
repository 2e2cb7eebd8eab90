#!/usr/bin/env bash
# Plants faults by hand, one at a time, in a throwaway copy of the code and runs the test suite
# against each: a fault the suite does not fail on is a gap in the tests.
#
#   scripts/plant-faults.sh [-r REF] [-l LIST] [-e REGEX] [-k] [NAME...]
#
# REF (default HEAD) is the commit whose code and tests are copied (git archive) to
# $ZENTIL_FAULT_DIR/<commit> (default /tmp/zentil-faults), built there with the release preset
# (optimised without debug information, benchmarks off) and kept, so a second run rebuilds only
# what a fault touches. LIST (default scripts/planted-faults.txt of this checkout) holds the
# faults; NAMEs pick some of them. -e leaves out the tests whose names match REGEX (slow ones
# that catch nothing else). With -k (check) each fault is only applied and undone, to see that
# its text is found.
#
# The list: "== NAME what the fault does" starts a fault; a plain line names the file the
# following edits apply to; "- " lines hold the exact text to replace (several lines in a row
# form one text), "+ " lines its replacement (none: the text is deleted); "#" lines are
# comments. The text must occur exactly once in its file.
#
# The report, on standard output and in <copy>/faults-<list>.txt: per fault "caught" with the
# tests that failed, "MISSED", or "BROKEN" when the copy does not build with the fault in it.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

ref=HEAD
list="$here/scripts/planted-faults.txt"
check=0
exclude=()
while getopts "r:l:e:k" opt; do
  case "$opt" in
    r) ref="$OPTARG" ;;
    l) list="$(cd "$(dirname "$OPTARG")" && pwd)/$(basename "$OPTARG")" ;;
    e) exclude=(-E "$OPTARG") ;;
    k) check=1 ;;
    *) sed -n '2,22p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

commit="$(git -C "$here" rev-parse --verify "$ref^{commit}")"
copy="${ZENTIL_FAULT_DIR:-/tmp/zentil-faults}/$commit"
build="$copy/build/release"

# apply LIST NAME DIR: plants fault NAME in DIR (prints "ERROR ..." and fails if a text is not
# found exactly once); undo DIR: puts back the files the last apply changed.
edit() {
  perl -e '
    use strict; use warnings;
    my ($mode, $list, $name, $dir) = @ARGV;
    if ($mode eq "undo") {
      open(my $saved, "<", "$dir/.planted") or exit 0;
      local $/; my %orig = %{ eval(<$saved>) }; close $saved;
      for my $f (keys %orig) { open(my $o, ">", "$dir/$f") or die; print $o $orig{$f}; close $o }
      unlink "$dir/.planted"; exit 0;
    }
    open(my $in, "<", $list) or die "cannot read $list\n";
    my (@edits, $cur, $file, $side);
    while (my $line = <$in>) {
      chomp $line;
      if ($line =~ /^== (\S+)/) { $cur = $1; next }
      next unless defined $cur && $cur eq $name;
      next if $line =~ /^#/ || $line =~ /^\s*$/;
      if ($line =~ /^([-+])(?: (.*))?$/) {
        my ($sign, $text) = ($1, $2 // "");
        if ($sign eq "-" && (!@edits || $side eq "+" || $edits[-1]{file} ne $file)) {
          push @edits, { file => $file, find => undef, repl => undef };
        }
        my $k = $sign eq "-" ? "find" : "repl";
        $edits[-1]{$k} = defined $edits[-1]{$k} ? "$edits[-1]{$k}\n$text" : $text;
        $side = $sign;
      } else { $file = $line; $side = "" }
    }
    die "ERROR $name: no such fault\n" unless @edits;
    my %orig;
    for my $e (@edits) {
      my $path = "$dir/$e->{file}";
      open(my $f, "<", $path) or die "ERROR $name: cannot read $e->{file}\n";
      local $/; my $text = <$f>; close $f;
      $orig{$e->{file}} //= $text;
      my $n = () = $text =~ /\Q$e->{find}\E/g;
      die "ERROR $name: text found $n times in $e->{file}: $e->{find}\n" if $n != 1;
      my $repl = $e->{repl} // "";
      $text =~ s/\Q$e->{find}\E/$repl/;
      open(my $o, ">", $path) or die; print $o $text; close $o;
    }
    use Data::Dumper; $Data::Dumper::Useqq = 1; $Data::Dumper::Terse = 1;
    open(my $saved, ">", "$dir/.planted") or die; print $saved Dumper(\%orig);
    close $saved;
  ' "$@"
}

names=("$@")
if [ "${#names[@]}" -eq 0 ]; then
  mapfile -t names < <(sed -n 's/^== \([^ ]*\).*/\1/p' "$list")
fi

if [ ! -d "$copy" ]; then
  mkdir -p "$copy"
  git -C "$here" archive "$commit" | tar -x -C "$copy"
fi
edit undo - - "$copy"

if [ "$check" -eq 1 ]; then
  status=0
  for name in "${names[@]}"; do
    if edit apply "$list" "$name" "$copy"; then echo "ok      $name"; else status=1; fi
    edit undo - - "$copy"
  done
  exit "$status"
fi

echo "Copy of $commit in $copy"
(cd "$copy" && cmake --preset release -DZENTIL_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null)
run_suite() {  # prints the names of the tests that failed; fails when the build does
  cmake --build "$build" >"$copy/build.log" 2>&1 || return 1
  (cd "$build" && ctest -j 2 --timeout 120 "${exclude[@]}" >"$copy/ctest.log" 2>&1) || true
  awk '/^The following tests FAILED:/ { on = 1; next }
       on && /^[[:space:]]+[0-9]+ - / {
         sub(/^[[:space:]]+[0-9]+ - /, ""); sub(/ \([^(]*\)$/, ""); sub(/  #.*$/, ""); print; next
       }
       { on = 0 }' "$copy/ctest.log" | sort -u
}

echo "Suite without faults ..."
if ! failed="$(run_suite)"; then tail -30 "$copy/build.log"; exit 1; fi
if [ -n "$failed" ]; then echo "The suite fails without faults:"; echo "$failed"; exit 1; fi

out="$copy/faults-$(basename "$list" .txt).txt"
: >"$out"
missed=0
for name in "${names[@]}"; do
  if ! edit apply "$list" "$name" "$copy"; then missed=$((missed + 1)); continue; fi
  if ! failed="$(run_suite)"; then
    line="BROKEN  $name (does not build; see $copy/build.log)"
    missed=$((missed + 1))
  elif [ -z "$failed" ]; then
    line="MISSED  $name"
    missed=$((missed + 1))
  else
    line="caught  $name  $(echo "$failed" | wc -l) tests: $(echo "$failed" | paste -sd ' ')"
  fi
  echo "$line" | tee -a "$out"
  edit undo - - "$copy"
done
cmake --build "$build" >/dev/null 2>&1 || true
echo "$((${#names[@]} - missed)) of ${#names[@]} faults caught; report in $out"
[ "$missed" -eq 0 ]
