#!/bin/sh
# Three runs at once from three input directories into one output directory, twenty times, every
# other time over stale outputs: each output must be the one a run alone writes, no run may fail,
# and no scratch file may be left. The runs share some names and have some of their own; Big.fdc
# has a section too large to stay in memory, so it goes through a scratch file.
# Usage: shared_output_test.sh <tool> <example input directory>
set -eu
tool=$1 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/base" "$work/alone" "$work/expected"
cp "$2"/*.fdc "$work/base/"
awk '{ print } /^@\/VIEW/ { for (i = 0; i < 40000; i++) print "// filler line " i " of a large section" }' \
  "$2/Pump.fdc" >"$work/base/Big.fdc"
convert() { LC_ALL=C QUARLODIR=/nonexistent "$tool" "$1" "$2" 6.5.341.0 >"$3" || true; }
convert "$work/base" "$work/alone" /dev/null
for run in 1 2 3; do
  mkdir "$work/in$run"
  for input in "$work"/base/*.fdc; do cp "$input" "$work/in$run/" && cp "$input" "$work/in$run/$run-${input##*/}"; done
  for output in "$work"/alone/*; do cp "$output" "$work/expected/" && cp "$output" "$work/expected/$run-${output##*/}"; done
done
for round in $(seq 20); do
  rm -rf "$work/out" && mkdir "$work/out"
  [ $((round % 2)) = 1 ] || for output in "$work"/expected/*; do echo 'FD 1' >"$work/out/${output##*/}"; done
  for run in 1 2 3; do convert "$work/in$run" "$work/out" "$work/log$run" & done
  wait
  if ! diff -r "$work/expected" "$work/out" || grep -l Unable "$work"/log? ||
    ls -A "$work"/in? | grep -v -x -e '.*\.fdc' -e velcovstat.cov -e '' -e '.*:'; then
    echo "round $round: an output differs from a run alone, a run failed or a scratch file is left"
    exit 1
  fi
done
