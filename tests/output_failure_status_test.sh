#!/bin/sh
# A run into a missing output directory gives up each file that has something to write, with one
# message and no summary, and counts none; a run that updates 300 files exits with 254.
# Usage: output_failure_status_test.sh <tool> <example input directory>
set -eu
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in" "$work/out"
for i in $(seq 150); do
  cp "$2/Pump.fdc" "$work/in/P$i.fdc"
  cp "$2/Valve.fdc" "$work/in/V$i.fdc"
done
convert() { LC_ALL=C QUARLODIR=/nonexistent "$tool" "$work/in" "$1" 6.5.341.0 >"$work/log" || status=$?; }

status=0
convert "$work/missing"
unable=$(grep -c "^VelmarCov: Unable to create the file $work/missing/[PV][0-9]*\.fdc !$" "$work/log" || true)
if [ "$status" != 0 ] || [ "$unable" != 300 ] || grep -q Finding "$work/log"; then
  echo "missing output directory: status $status, $unable messages for 300 files"; cat "$work/log"; exit 1
fi

status=0
convert "$work/out"
if [ "$status" != 254 ] || ! grep -q -x "VelmarCov: 300 FDC Files updated" "$work/log"; then
  echo "300 updated files: status $status"; tail -1 "$work/log"; exit 1
fi
echo "missing output directory: 300 files given up; 300 updated files: status 254"
