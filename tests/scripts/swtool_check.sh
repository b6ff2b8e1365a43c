#!/usr/bin/env bash
# swtool check reports every mistake of a script and its includes at once,
# each as FILE:LINE: with the word quoted, status 1; the stock show is clean
# (status 0, nothing printed).
set -u
swtool=$1
show_dir=$2
. "$(dirname "$0")/test_lib.sh"

cd "$work" || exit 1
"$swtool" check --data "$show_dir" >out.txt 2>&1 || { cat out.txt; fail "the stock show is not clean (status $?)"; }
[ ! -s out.txt ] || { cat out.txt; fail "the stock show gave reports"; }

mkdir -p "$work/show/data" && cd "$work/show" || exit 1
cp "$show_dir"/data/images/dusk.png data/dusk.png
printf 'not a picture' > data/broken.png
cat > data/script.scr <<'SCRIPT'
DEFINE LAYER 2
DEFNE GLOW 43
DEMOSTRAT 0
INCLUDE data/part.scr
SETUP
0 SIGNAL LAYER 31 data/dusk.png
0 SIGNAL LAYER 31 data/nothere.png
TIMELINE
2000 STRAT 1
2,000 START 1
3000 START 26
3000 START 64
3000 START GLOW
900 END 62
1000 START 62
INCLUDE data/missing.scr
1500 SIGNAL 62 55 1
1500 SIGNAL LAYER 110 data/broken.png
1500 SIGNAL 43 90 128
1500 SIGNAL 25 255 skull
LINETIME
SCRIPT
printf '// events without a setup section\n5000 START 3\n' > data/part.scr
"$swtool" check --data . >out.txt 2>err.txt
status=$?
cat out.txt err.txt
[ "$status" -eq 1 ] || fail "expected status 1, got $status"
expect() { grep -qF -- "$1" out.txt || fail "no report: $1"; }
expect 'data/script.scr:2: "DEFNE"'
expect 'data/script.scr:3: "DEMOSTRAT"'
expect 'data/part.scr:2: "5000" is not a word of the script'"'"'s head'
expect 'data/script.scr:4: "data/part.scr" has no "SETUP"'
expect 'data/script.scr:7: "data/nothere.png" does not exist'
expect 'data/script.scr:9: "STRAT" is not an event'
expect 'data/script.scr:10: "2,000" is not a number'
expect 'data/script.scr:11: effect "26" has no effect'
expect 'data/script.scr:12: effect "64" is out of range'
expect 'data/script.scr:13: "GLOW" is not defined'
expect 'data/script.scr:14: "END" of effect 62 at 900 comes before'
expect 'data/script.scr:16: included file "data/missing.scr" does not exist'
expect 'data/script.scr:17: effect "62" (fade) has no command "55"'
expect 'data/script.scr:18: "data/broken.png" cannot be decoded'
# Lines 6, 19 and 20 are sound: a picture that decodes, codes the glow
# filter and a scene act on.
[ "$(wc -l < out.txt)" -eq 14 ] || fail "expected 14 reports"

# Usage: no show, or both kinds.
"$swtool" check >/dev/null 2>err.txt; [ $? -eq 2 ] || fail "check without a show: expected status 2"
grep -q 'usage: swtool check' err.txt || fail "no usage line"
echo ok
