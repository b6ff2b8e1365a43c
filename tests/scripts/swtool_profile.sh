#!/usr/bin/env bash
# swtool profile plays a script on the manual clock and reports one row per
# stretch of equally active effects, and every frame in its CSV; bad options
# end with status 1.
set -u
swtool=$1
show_dir=$2
. "$(dirname "$0")/test_lib.sh"

[ -d "$show_dir/data" ] || fail "no show data at $show_dir/data"
mkdir -p "$work/show"
cp -r "$show_dir/data" "$work/show/data"
# The background alone for a second, then the fade over it.
cat > "$work/show/data/script.scr" <<'SCRIPT'
DEMOSTART 0
SETUP
TIMELINE
1 START 0
1000 START 62
1000 SIGNAL 62 6 1000
LINETIME
SCRIPT
"$swtool" profile --data "$work/show" --from 0 --to 2000 --fps 10 --csv "$work/frames.csv" --quiet \
  > "$work/table.txt" 2> "$work/errors.txt" || fail "profile exited $?: $(cat "$work/errors.txt")"

# 21 frames: 0, 100, ..., 2000; nothing has started at 0, the background
# alone shows up to 900.
[ "$(head -1 "$work/frames.csv")" = "time_ms,frame_ms,cpu_ms,clear_ms,fade_ms" ] ||
  fail "CSV header: $(head -1 "$work/frames.csv")"
[ "$(tail -n +2 "$work/frames.csv" | wc -l)" -eq 21 ] || fail "CSV rows: $(tail -n +2 "$work/frames.csv" | wc -l)"
awk -F, 'NR > 1 && NR <= 11 && $5 != "" { exit 1 } NR > 11 && $5 == "" { exit 1 }' "$work/frames.csv" ||
  fail "the fade's column does not follow its start"
awk -F, 'NR == 2 && $4 != "" { exit 1 } NR > 2 && ($2 <= 0 || $4 <= 0 || $4 > $2 + 0.001) { exit 1 }' \
  "$work/frames.csv" || fail "an effect's time is missing or exceeds its frame's"

# The table: a header, three stretches, the whole span.
grep -Eq '^ +0 +0 +1 ' "$work/table.txt" || fail "empty stretch: $(cat "$work/table.txt")"
grep -Eq '^ +100 +900 +9 .* clear [0-9]+%$' "$work/table.txt" || fail "background stretch: $(cat "$work/table.txt")"
grep -Eq '^ +1000 +2000 +11 .*(clear|fade) [0-9]+%, (clear|fade) [0-9]+%$' "$work/table.txt" ||
  fail "second stretch: $(cat "$work/table.txt")"
grep -Eq '^ +21 .* whole span$' "$work/table.txt" || fail "whole span: $(cat "$work/table.txt")"

"$swtool" profile --data "$work/show" --fps zero > /dev/null 2>&1 && fail "a bad --fps was accepted"
"$swtool" profile --from 0 --to 100 > /dev/null 2>&1 && fail "profile without data was accepted"
exit 0
