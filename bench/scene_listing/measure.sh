#!/usr/bin/env bash
# What `swtool scene` needs to list a chain of dummies, each the child of
# the one before: peak memory and output size, for 20,000 and 40,000 links
# (linear output doubles). Target: under 50 MB for 20,000.
#   bench/scene_listing/measure.sh SWTOOL DUMMY_CHAIN
set -euo pipefail
swtool=$1 chain=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for links in 20000 40000; do
  "$chain" "$links" "$work/chain.scn"
  /usr/bin/time -v "$swtool" scene "$work/chain.scn" > "$work/out.txt" 2> "$work/time.txt"
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
  echo "$links dummies: file $(stat -c %s "$work/chain.scn") bytes, peak memory $((peak / 1024)) MB," \
    "output $(stat -c %s "$work/out.txt") bytes, $(wc -l < "$work/out.txt") lines"
done
