#!/usr/bin/env bash
# swtool beats lists the demo times at which the show's beat detector fires:
# a generated track with short, loud kicks at known times (on the 50 ms grid
# beats of common tempos fall on) lists each kick within 20 ms after it and
# nothing else; --from and --to bound the list; a file that is not a track
# fails.
set -u
swtool=$1
. "$(dirname "$0")/test_lib.sh"
command -v ffmpeg >/dev/null || fail "ffmpeg is needed to make the kick track"
cd "$work" || exit 1

kicks="1000 2500 3350 4000 5750"
# Each kick: 60 ms of a 100 Hz square wave near full scale (loud and peaky),
# silence between.
expression=0
for k in $kicks; do
  expression="$expression+between(t\\,$k/1000\\,$k/1000+0.06)"
done
ffmpeg -v error -f lavfi -i "aevalsrc=0.98*sgn(sin(2*PI*100*t))*gt($expression\\,0):s=44100:d=7" \
  -ac 2 -c:a libvorbis -q:a 8 kicks.ogg || fail "cannot make the kick track"

"$swtool" beats --music kicks.ogg >beats.txt 2>err.txt || { cat err.txt; fail "beats exited $?"; }
cat beats.txt
awk '!/^[0-9]+ [0-9]+\.[0-9][0-9]$/ { print "not a time and loudness: " $0; exit 1 }
     $2 <= 10 { print "a beat quieter than the rule allows: " $0; exit 1 }' beats.txt || fail "badly formed lines"
listed=$(awk '{ printf "%s ", $1 }' beats.txt)
[ "$(wc -l < beats.txt)" -eq 5 ] || fail "expected the 5 kicks, listed: $listed"
paste -d ' ' <(tr ' ' '\n' <<<"$kicks" | grep .) <(cut -d ' ' -f 1 beats.txt) |
  awk '{ late = $2 - $1; if (late < 0 || late > 20) { print "kick at " $1 " listed at " $2; bad = 1 } }
       END { exit bad }' || fail "a kick was listed more than 20 ms off"

# A span: only the kicks inside it, counted as the player started there.
"$swtool" beats --music kicks.ogg --from 2000 --to 4500 >span.txt 2>err.txt || fail "span: status $?"
[ "$(cut -d ' ' -f 1 span.txt | tr '\n' ' ')" = "$(awk '$1 >= 2000 && $1 <= 4500 { printf "%s ", $1 }' beats.txt)" ] ||
  fail "the span lists $(cat span.txt) instead of the whole list's kicks in 2000..4500"

# Faults: no music, a file that is not a track, times out of order.
"$swtool" beats >/dev/null 2>err.txt; [ $? -eq 2 ] || fail "beats without --music: expected status 2"
grep -q 'usage: swtool beats' err.txt || fail "beats without --music: no usage"
echo "not a track" > bad.ogg
"$swtool" beats --music bad.ogg >/dev/null 2>err.txt && fail "a file that is not a track was accepted"
grep -q 'bad.ogg' err.txt || fail "the bad track is not named: $(cat err.txt)"
"$swtool" beats --music kicks.ogg --from 3000 --to 1000 >/dev/null 2>err.txt; [ $? -eq 2 ] || fail "--to before --from: expected status 2"
echo ok
