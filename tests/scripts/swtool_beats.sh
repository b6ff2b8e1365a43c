#!/usr/bin/env bash
# swtool beats lists the demo times at which the show's beat detector fires:
# a generated track with short, loud kicks at known times lists each kick
# once and nothing else, at the step where the detector fires: after the
# spectrum's 23 ms window has filled with the kick, on the 1000 / 60 ms
# steps of the rule, so up to 45 ms after the kick begins; --from and --to
# bound the list; a file that is not a track fails.
set -u
swtool=$1
. "$(dirname "$0")/test_lib.sh"
command -v ffmpeg >/dev/null || fail "ffmpeg is needed to make the kick track"
cd "$work" || exit 1

kicks="1000 2500 3350 4000 5750"
# Each kick as the show's own: 60 ms of a square wave on a bin of the
# spectrum (86.13 Hz: loud and peaky) under a rattle of full-band noise that
# swells over the kick (loud everywhere, and louder at every step, so that
# the kick counts once), silence between.
body=0
rattle=0
for k in $kicks; do
  body="$body+between(t\\,$k/1000\\,$k/1000+0.06)"
  rattle="$rattle+between(t\\,$k/1000\\,$k/1000+0.06)*(0.6+0.4*(t-$k/1000)/0.06)"
done
kick="0.75*sgn(sin(2*PI*86.1328125*t))*gt($body\\,0)+0.35*sgn(random(0)-0.5)*($rattle)"
# Both channels written out: a mono track spread to two by FFmpeg is 3 dB
# quieter in each.
ffmpeg -v error -f lavfi -i "aevalsrc=$kick|$kick:s=44100:d=7" -c:a libvorbis -q:a 8 kicks.ogg ||
  fail "cannot make the kick track"

"$swtool" beats --music kicks.ogg >beats.txt 2>err.txt || { cat err.txt; fail "beats exited $?"; }
cat beats.txt
awk '!/^[0-9]+ [0-9]+\.[0-9][0-9]$/ { print "not a time and loudness: " $0; exit 1 }
     $2 <= 10 { print "a beat quieter than the rule allows: " $0; exit 1 }' beats.txt || fail "badly formed lines"
listed=$(awk '{ printf "%s ", $1 }' beats.txt)
[ "$(wc -l < beats.txt)" -eq 5 ] || fail "expected the 5 kicks, listed: $listed"
paste -d ' ' <(tr ' ' '\n' <<<"$kicks" | grep .) <(cut -d ' ' -f 1 beats.txt) |
  awk '{ late = $2 - $1; if (late < 0 || late > 45) { print "kick at " $1 " listed at " $2; bad = 1 } }
       END { exit bad }' || fail "a kick was listed before it or more than 45 ms after"

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
