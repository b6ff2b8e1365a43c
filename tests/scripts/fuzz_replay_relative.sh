#!/usr/bin/env bash
# A replay given a relative folder reads every input in it, although the
# script target changes the working folder: three scripts, each with an
# unknown event on a line of its own, give three different messages. A
# name that is no input fails the replay.
set -u
replay=$1
. "$(dirname "$0")/test_lib.sh"
cd "$work" || exit 1
mkdir inputs
for n in 1 2 3; do
  {
    printf 'SETUP\nTIMELINE\n'
    for ((i = 1; i < n; i++)); do printf '%d START 1\n' "$((i * 100))"; done
    printf '900 BOGUS 1\n'
  } > "inputs/$n.scr"
done
SW_FUZZ_VERBOSE=1 "$replay" inputs > out.txt 2> err.txt || fail "replay failed: $(cat err.txt)"
grep -qx 'replayed 3 inputs' out.txt || fail "not three inputs: $(cat out.txt)"
for n in 1 2 3; do
  grep -q "event not recognized in timeline line # $n\$" err.txt || fail "input $n was not read: $(cat err.txt)"
done
"$replay" inputs no-such-input > out.txt 2> err.txt && fail "a missing input was accepted"
grep -q 'no input at no-such-input' err.txt || fail "the missing input was not named: $(cat err.txt)"
exit 0
