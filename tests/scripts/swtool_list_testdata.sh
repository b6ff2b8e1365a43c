#!/usr/bin/env bash
# swtool list names every member of the shared RAR archives, with the size
# the manifest gives, in archive order, and exits 0 even where an archive
# carries blocks that are not members (such as a trailing sub-block).
set -u
swtool=$1
rars=$2/rar
. "$(dirname "$0")/test_lib.sh"
[ -f "$rars/MANIFEST.tsv" ] || fail "no manifest in $rars"
for archive in $(tail -n +2 "$rars/MANIFEST.tsv" | cut -f1 | uniq); do
  "$swtool" list "$rars/$archive" > "$work/list.txt" 2> "$work/err.txt" \
    || fail "list $archive exited $?: $(cat "$work/err.txt")"
  [ -s "$work/err.txt" ] && fail "list $archive wrote to standard error: $(cat "$work/err.txt")"
  cut -f1,2 "$work/list.txt" > "$work/got.tsv"
  awk -F'\t' -v a="$archive" '$1 == a { print $2 "\t" $3 }' "$rars/MANIFEST.tsv" > "$work/want.tsv"
  diff "$work/want.tsv" "$work/got.tsv" || fail "members of $archive differ from the manifest"
done
echo ok
