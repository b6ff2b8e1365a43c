#!/usr/bin/env bash
# swtool script prints a parsed script in the format DESIGN.md fixes (scripts
# depend on it): demostart, setup lines in order, then the timeline in time
# order. Warnings and fatal errors behave as in the player.
set -u
swtool=$1
. "$(dirname "$0")/test_lib.sh"
cd "$work" || exit 1

# An include before SETUP is parsed whole first: its setup line comes first,
# its define applies to it, its timeline event sorts in by time.
cat > first.scr <<'SCRIPT'
DEFINE BLUE 77
SETUP
0 SIGNAL 0 201 BLUE
TIMELINE
2000 START 0
LINETIME
SCRIPT
cat > main.scr <<'SCRIPT'
// the show in small
INCLUDE first.scr
DEMOSTART 1500
DEFINE FADE 124
SETUP
0 SIGNAL 62 200 255
0 SIGNAL 2 5 picture.png
TIMELINE
1000 START 62
1000 SIGNAL 62 FADE 0 1000 2000
TIMEOFFSETD 60000
500 END 62
700 INIT 5
400 SIGNAL 5 3 1 2 3 4 5 6 7 8 9 10 11 12
300 SIGNAL 2 9 word
LINETIME
9000 START 1
SCRIPT
cat > expected.txt <<'OUT'
demostart 1500
setup 0 201 0 1 0 77
setup 62 200 0 1 0 255
setup 2 5 1 0 0 picture.png
event 1000 START 62
event 1000 SIGNAL 62 124 0 3 0 0 1000 2000
event 2000 START 0
event 60300 SIGNAL 2 9 1 0 0 word
event 60400 SIGNAL 5 3 0 12 60000 1 2 3 4 5 6 7 8 9 10
event 60500 END 62
event 60700 INIT 5
OUT
"$swtool" script main.scr >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || { cat err.txt; fail "script exited $status"; }
diff -u expected.txt out.txt || fail "swtool script printed something else"
[ ! -s err.txt ] || { cat err.txt; fail "a clean script wrote to standard error"; }

# DEMOEND in the head: a line of its own after demostart; a script without
# it prints none (above).
printf 'DEMOSTART 100\nDEMOEND 5000\nSETUP\nTIMELINE\n200 START 3\nLINETIME\n' > end.scr
"$swtool" script end.scr >out.txt 2>err.txt || { cat err.txt; fail "DEMOEND: status $?"; }
printf 'demostart 100\ndemoend 5000\nevent 200 START 3\n' > expected.txt
diff -u expected.txt out.txt || fail "swtool script printed DEMOEND otherwise"

# A warning: "error!" on standard output, the message on standard error, the
# rest parsed and printed, status 0. Reading goes on with the word after the
# unknown one, here the next line's time.
printf 'SETUP\nTIMELINE\n100 START 3\n200 FLASH\n300 END 3\nLINETIME\n' > warn.scr
"$swtool" script warn.scr >out.txt 2>err.txt || fail "a warning must not fail (status $?)"
grep -qx 'error!' out.txt || fail "no 'error!' line for a warning"
grep -q 'script: event not recognized in timeline line # 2' err.txt || { cat err.txt; fail "no warning text"; }
grep -qx 'event 300 END 3' out.txt || { cat out.txt; fail "parsing stopped at the warning"; }

# Fatal errors: "error!", the message, status 1.
fatal() {  # fatal NAME MESSAGE: swtool script NAME fails with MESSAGE
  "$swtool" script "$1" >out.txt 2>err.txt
  local status=$?
  [ "$status" -eq 1 ] || fail "$1: expected status 1, got $status"
  grep -qx 'error!' out.txt || fail "$1: no 'error!' line"
  grep -qF "$2" err.txt || { cat err.txt; fail "$1: no message '$2'"; }
}
printf 'SETUP\n0 SIGNAL 1 2 3\n5 SIGNAL 1 2 3\nTIMELINE\nLINETIME\n' > late.scr
fatal late.scr 'script: not a valid time (should be 0) in setup line # 2'
printf 'SETUP\nTIMELINE\n-1000 TIMEOFFSETD 1000\n0 START 1\nLINETIME\n' > zero.scr
fatal zero.scr 'script: not a valid(1-maxtime) time in timeline line #'
fatal missing.scr 'script: could not open file for parsing'

# Usage errors: status 1 and the usage line, nothing on standard output.
for arguments in "" "main.scr warn.scr"; do
  # shellcheck disable=SC2086
  "$swtool" script $arguments >out.txt 2>err.txt
  status=$?
  [ "$status" -eq 1 ] || fail "script with '$arguments': expected status 1, got $status"
  grep -q 'usage: swtool script FILE' err.txt || fail "script with '$arguments': no usage line"
  [ ! -s out.txt ] || fail "script with '$arguments': wrote to standard output"
done
echo ok
