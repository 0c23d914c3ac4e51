#!/bin/sh
# Fails when lupdate, run on the sources into copies of the .ts files, would change
# them: a message was added, changed or removed without refreshing the translations.
# Usage: check_ts_drift.sh <lupdate> <source root> <ts file relative to the root>...
set -eu
lupdate=$1 root=$2
shift 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$root"
cp "$@" "$scratch/"
"$lupdate" -silent -no-obsolete -locations none driver messages update rewriter -ts "$scratch"/*.ts
for ts in "$@"; do diff "$ts" "$scratch/$(basename "$ts")" || { echo "$ts is out of date: refresh it with lupdate"; exit 1; }; done
