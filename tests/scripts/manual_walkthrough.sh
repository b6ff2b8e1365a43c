#!/usr/bin/env bash
# manual_walkthrough.sh SWTOOL PLAYER SHOW_DIR WORKFLOW_MD: runs the commands
# of the manual's "Start from an empty folder" section as written, in an
# empty folder, headless. Each "$ " line is a command ($SW, $PLAYER and
# $SHOW stand for the programs and the built show); a trailing
# "# status N" comment gives the status it must end with (0 otherwise). The
# lines under a command must appear in its output (standard output and
# error together) in that order; "..." stands for any lines.
set -u
export SW=$1 PLAYER=$2 SHOW=$3
manual=$(realpath "$4")
. "$(dirname "$0")/test_lib.sh"
cd "$work" || exit 1
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

# The section's indented lines, indentation taken off.
awk '/^## 0\. Start from an empty folder/ { inside = 1; next }
     /^## / { inside = 0 }
     inside && /^    / { print substr($0, 5) }' "$manual" >section.txt
[ "$(grep -c '^\$ ' section.txt)" -ge 8 ] || fail "the walkthrough's commands were not found in $manual"

# check_output FILE EXPECTED: every line of EXPECTED among FILE's lines, in order.
check_output() {
  local output=$1 expected=$2 from=1 line found
  while IFS= read -r line; do
    [ "$line" = "..." ] && continue
    found=$(tail -n +"$from" "$output" | grep -n -x -F -m1 -- "$line" | cut -d: -f1)
    [ -n "$found" ] || { cat "$output"; fail "no line '$line' after: $command"; }
    from=$((from + found))
  done <"$expected"
}

command=""
run_pending() {
  [ -n "$command" ] || return 0
  local wanted=0 status
  [[ "$command" =~ \#\ status\ ([0-9]+) ]] && wanted=${BASH_REMATCH[1]}
  timeout 120 bash -c "$command" >output.txt 2>&1
  status=$?
  [ "$status" -eq "$wanted" ] || { cat output.txt; fail "'$command' ended with status $status, not $wanted"; }
  check_output output.txt expected.txt
  ran=$((ran + 1))
}

ran=0
: >expected.txt
while IFS= read -r line; do
  if [ "${line:0:2}" = '$ ' ]; then
    run_pending
    command=${line:2}
    : >expected.txt
  else
    printf '%s\n' "$line" >>expected.txt
  fi
done <section.txt
run_pending
echo "ok: $ran commands"
