#!/bin/sh
# A run into a missing output directory gives up each file that has something to write, with one
# message and no summary, and counts none; so does a run whose output cannot be written, also when
# all of it is still in memory as its section ends. A run that updates 300 files exits with 254.
# Usage: output_failure_status_test.sh <tool> <example input directory>
set -eu
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in" "$work/out" "$work/mid" "$work/midout"
for i in $(seq 150); do
  cp "$2/Pump.fdc" "$work/in/P$i.fdc"
  cp "$2/Valve.fdc" "$work/in/V$i.fdc"
done
convert() { LC_ALL=C QUARLODIR=/nonexistent "$tool" "$1" "$2" 6.5.341.0 >"$work/log"; }

status=0
convert "$work/in" "$work/missing" || status=$?
unable=$(grep -c "^VelmarCov: Unable to create the file $work/missing/[PV][0-9]*\.fdc !$" "$work/log" || true)
if [ "$status" != 0 ] || [ "$unable" != 300 ] || grep -q Finding "$work/log"; then
  echo "missing output directory: status $status, $unable messages for 300 files"; cat "$work/log"; exit 1
fi

# About 20 kB of output, small enough to stay in memory until its section ends, against a
# file-size limit of 10 kB.
awk '{ print } /^@\/VIEW/ { for (i = 0; i < 500; i++) print "// filler line " i " of a section" }' \
  "$2/Pump.fdc" >"$work/mid/Mid.fdc"
printf 'VE 3\nFD 1\nold output\n' >"$work/midout/Mid.fdc"
status=0
(trap '' XFSZ; ulimit -f 20; convert "$work/mid" "$work/midout") || status=$?
if [ "$status" != 0 ] || grep -q Finding "$work/log" || [ "$(ls -A "$work/midout")" != Mid.fdc ] ||
  ! grep -q -x "VelmarCov: Unable to create the file $work/midout/Mid.fdc !" "$work/log" ||
  ! grep -q -x "old output" "$work/midout/Mid.fdc"; then
  echo "output that cannot be written: status $status"; cat "$work/log"; exit 1
fi

status=0
convert "$work/in" "$work/out" || status=$?
if [ "$status" != 254 ] || ! grep -q -x "VelmarCov: 300 FDC Files updated" "$work/log"; then
  echo "300 updated files: status $status"; tail -1 "$work/log"; exit 1
fi
echo "missing or unwritable output directory: files given up; 300 updated files: status 254"
