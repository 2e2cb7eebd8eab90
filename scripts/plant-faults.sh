#!/usr/bin/env bash
# Plants faults by hand, one at a time, in a throwaway copy of the code and runs the test suite
# against each: a fault the suite does not fail on is a gap in the tests.
#
#   scripts/plant-faults.sh [-r REF] [-l LIST] [-e REGEX] [-k] [NAME...]
#
# REF (default HEAD) is the commit whose code and tests are copied (git archive) to
# $ZENTIL_FAULT_DIR/<commit> (default /tmp/zentil-faults), built there with the release preset
# (optimised without debug information, benchmarks off), or with the windows preset for the
# faults that ask for it, and kept, so a second run rebuilds only what a fault touches. LIST
# (default scripts/planted-faults.txt of this checkout) holds the faults; NAMEs pick some of
# them. -e leaves out the tests whose names match REGEX (slow ones that catch nothing else).
# With -k (check) each fault is only applied and undone, to see that its text is found.
#
# The list: "== NAME what the fault does" starts a fault, "== NAME @PRESET what it does" one
# tried with another preset than release (windows: what `make windows` installs must be there;
# the tests run under Wine, in the copy's own prefix, then scripts/check-msi.sh when they all
# pass); a plain line names the file the following edits apply to; "- " lines hold the exact
# text to replace (several lines in a row form one text), "+ " lines its replacement (none: the
# text is deleted); "#" lines are comments. The text must occur exactly once in its file.
#
# The report, on standard output and in <copy>/faults-<list>.txt: per fault "caught" with the
# tests that failed, "MISSED", or "BROKEN" when the copy does not build with the fault in it;
# the preset follows the name when it is not release.
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
    *) sed -n '2,25p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

commit="$(git -C "$here" rev-parse --verify "$ref^{commit}")"
copy="${ZENTIL_FAULT_DIR:-/tmp/zentil-faults}/$commit"

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
preset_of() {  # the preset fault $1 is tried with
  local preset
  preset="$(sed -n "s/^== $1 @\([^ ]*\).*/\1/p" "$list")"
  echo "${preset:-release}"
}
run_suite() {  # prints the names of the tests that failed with preset $1; fails when the build does
  local failed
  cmake --build "$copy/build/$1" >"$copy/build.log" 2>&1 || return 1
  if [ "$1" = windows ]; then "$copy/scripts/wine-prefix.sh" >/dev/null; fi
  (cd "$copy" && ctest --preset "$1" --timeout 120 "${exclude[@]}" >"$copy/ctest.log" 2>&1) || true
  failed="$(awk '/^The following tests FAILED:/ { on = 1; next }
       on && /^[[:space:]]+[0-9]+ - / {
         sub(/^[[:space:]]+[0-9]+ - /, ""); sub(/ \([^(]*\)$/, ""); sub(/  #.*$/, ""); print; next
       }
       { on = 0 }' "$copy/ctest.log" | sort -u)"
  # The rest of `make test-windows`, the installer's check, when the tests caught nothing.
  if [ "$1" = windows ] && [ -z "$failed" ]; then
    "$copy/scripts/wine-prefix.sh" --stop >/dev/null 2>&1
    "$copy/scripts/check-msi.sh" >"$copy/check-msi.log" 2>&1 || failed=check-msi.sh
  fi
  if [ -n "$failed" ]; then echo "$failed"; fi
}
declare -A ready=()
prepare() {  # configures the copy's build with preset $1, once, and sees the suite pass there
  [ -z "${ready[$1]:-}" ] || return 0
  if [ "$1" = release ]; then
    (cd "$copy" && cmake --preset release -DZENTIL_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null)
  else
    (cd "$copy" && cmake --preset "$1" >/dev/null)
  fi
  echo "Suite without faults ($1) ..."
  if ! failed="$(run_suite "$1")"; then tail -30 "$copy/build.log"; exit 1; fi
  if [ -n "$failed" ]; then echo "The suite fails without faults:"; echo "$failed"; exit 1; fi
  ready[$1]=1
}

out="$copy/faults-$(basename "$list" .txt).txt"
: >"$out"
missed=0
for name in "${names[@]}"; do
  preset="$(preset_of "$name")"
  prepare "$preset"
  shown="$name"
  [ "$preset" = release ] || shown="$name [$preset]"
  if ! edit apply "$list" "$name" "$copy"; then missed=$((missed + 1)); continue; fi
  if ! failed="$(run_suite "$preset")"; then
    line="BROKEN  $shown (does not build; see $copy/build.log)"
    missed=$((missed + 1))
  elif [ -z "$failed" ]; then
    line="MISSED  $shown"
    missed=$((missed + 1))
  else
    line="caught  $shown  $(echo "$failed" | wc -l) tests: $(echo "$failed" | paste -sd ' ')"
  fi
  echo "$line" | tee -a "$out"
  edit undo - - "$copy"
done
for preset in "${!ready[@]}"; do cmake --build "$copy/build/$preset" >/dev/null 2>&1 || true; done
if [ -n "${ready[windows]:-}" ]; then "$copy/scripts/wine-prefix.sh" --stop; fi
echo "$((${#names[@]} - missed)) of ${#names[@]} faults caught; report in $out"
[ "$missed" -eq 0 ]
