#!/bin/sh
# Fails when the messages in the sources and the committed .ts files have drifted apart:
# lupdate is run on the sources into copies of the .ts files, and any change it makes
# (a new, changed or vanished message) means the files are out of date.
# Usage: check_ts_drift.sh <lupdate> <source root> <ts file relative to the root>...
set -eu
lupdate=$1
root=$2
shift 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for ts in "$@"; do
  cp "$root/$ts" "$scratch/"
done
cd "$root"
"$lupdate" -silent -no-obsolete -locations none driver messages update rewriter \
  -ts $(for ts in "$@"; do printf '%s ' "$scratch/$(basename "$ts")"; done)
status=0
for ts in "$@"; do
  if ! cmp -s "$ts" "$scratch/$(basename "$ts")"; then
    echo "$ts no longer matches the messages in the sources; refresh it with lupdate:"
    diff "$ts" "$scratch/$(basename "$ts")" || true
    status=1
  fi
done
exit $status
