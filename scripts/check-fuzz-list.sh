#!/usr/bin/env bash
# Fails when the fuzz build in $1 (default build-fuzz) made a fuzz executable that its
# fuzz_targets.txt does not list: such a target would be built and never fuzzed.
set -uo pipefail
dir=${1:-build-fuzz}
[ -f "$dir/fuzz_targets.txt" ] || { echo "$dir/fuzz_targets.txt is missing"; exit 1; }
targets=" $(tr ';' ' ' < "$dir/fuzz_targets.txt") "
status=0
for exe in "$dir"/fuzz/fuzz_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  name=$(basename "$exe"); name=${name#fuzz_}
  case "$targets" in
    *" $name "*) ;;
    *) echo "fuzz target $name is built but missing from $dir/fuzz_targets.txt"; status=1 ;;
  esac
done
exit $status
