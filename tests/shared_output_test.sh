#!/bin/sh
# Three runs at once, from three input directories into one output directory, twenty times, every
# other time over stale outputs: each output must be the one a run alone writes, no run may report
# a failure, and no scratch file may be left anywhere. Each input directory holds the same files
# under the same names, which the three runs write at once, and under names of its own. Big.fdc
# has a section too large for a pass to keep in memory, so its text goes through a scratch file.
# Usage: shared_output_test.sh <tool> <example input directory>
set -eu
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/base" "$work/alone" "$work/expected"
cp "$2"/*.fdc "$work/base/"
awk '{ print } /^@\/VIEW/ { for (i = 0; i < 40000; i++) print "// filler line " i " of a large section" }' \
  "$2/Pump.fdc" >"$work/base/Big.fdc"
convert() { LC_ALL=C QUARLODIR=/nonexistent "$tool" "$1" "$2" 6.5.341.0 >"$3" || true; }
convert "$work/base" "$work/alone" /dev/null
[ "$(wc -c <"$work/alone/Big.fdc")" -gt 1100000 ] || { echo "Big.fdc is too small to spill"; exit 1; }
cp "$work"/alone/* "$work/expected/"
for run in 1 2 3; do
  mkdir "$work/in$run"
  for input in "$work"/base/*.fdc; do
    cp "$input" "$work/in$run/"
    cp "$input" "$work/in$run/$run-${input##*/}"
  done
  for output in "$work"/alone/*; do cp "$output" "$work/expected/$run-${output##*/}"; done
done

for round in $(seq 20); do
  rm -rf "$work/out"
  mkdir "$work/out"
  if [ $((round % 2)) = 0 ]; then
    for output in "$work"/expected/*; do printf 'VE 3\nFD 1\nstale output\n' >"$work/out/${output##*/}"; done
  fi
  for run in 1 2 3; do convert "$work/in$run" "$work/out" "$work/log$run" & done
  wait
  if ! diff -r "$work/expected" "$work/out" || grep -l Unable "$work"/log?; then
    echo "round $round: the outputs differ from a run alone, or a run failed"
    exit 1
  fi
  for run in 1 2 3; do
    left=$(ls -A "$work/in$run" | grep -v -x -e '.*\.fdc' -e velcovstat.cov || true)
    [ -z "$left" ] || { echo "round $round: left in in$run: $left"; exit 1; }
  done
done
echo "20 rounds of three runs at once: every output whole, no scratch file left"
