#!/bin/sh
# One end-to-end case: converts copies of the input files and compares the output tree, the standard
# output (each file's lines in name order, as a directory's order is the system's) and the exit status
# with those kept in the case's directory.
# usage: run_case.sh <tool> <case dir> <version> <exit status> <input file>...
tool=$1 case=$2 version=$3 status=$4 && shift 4
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/given" "$work/out" && cp "$@" "$work/given" && cp -R "$work/given" "$work/in" && cd "$work" || exit 1
LC_ALL=C QUARLODIR=/nonexistent "$tool" in out "$version" >stdout
got=$? fail=0
[ "$got" = "$status" ] || { echo "exit status $got, expected $status"; fail=1; }
LC_ALL=C awk '/: analysing /{f=$3} /FDC Files updated$/{f="~"} {print f "\t" NR "\t" $0}' stdout |
  LC_ALL=C sort -t "$(printf '\t')" -k1,1 -k2,2n | cut -f3- | diff -u "$case/stdout" - || fail=1
diff -ru "$case/out" out || fail=1
# The inputs are left as they were; the run log beside them holds every summary, then the totals.
diff -r -x velcovstat.cov given in && sed -n '/: Finding$/,/ChoicePoint(s)$/p;$p' stdout | cmp - in/velcovstat.cov || fail=1
exit $fail
